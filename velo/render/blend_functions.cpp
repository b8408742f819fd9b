#include "velo/render/blend_functions.h"

namespace VELO {
namespace {

BlendFunctions Resolve() noexcept {
  BlendFunctions f;
  // Nothing else in the library imports msimg32, so it may not be loaded
  // yet; load it from the system folder only, never from the search path.
  HMODULE msimg = ::GetModuleHandleW(L"msimg32.dll");
  if (!msimg) msimg = ::LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (msimg) {
    f.alphaBlend =
        reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(::GetProcAddress(msimg, "AlphaBlend")));
    f.gradientFill =
        reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(::GetProcAddress(msimg, "GradientFill")));
  }
  if (!f.alphaBlend) f.alphaBlend = &SoftAlphaBlend;
  return f;
}

}  // namespace

const BlendFunctions& SystemBlendFunctions() noexcept {
  static const BlendFunctions functions = Resolve();
  return functions;
}

}  // namespace VELO
