#include "velo/core/module.h"

namespace {
HINSTANCE g_module = nullptr;
}

namespace VELO {
HINSTANCE GetLibraryModule() noexcept { return g_module; }
}  // namespace VELO

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
