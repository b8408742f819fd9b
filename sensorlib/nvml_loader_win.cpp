#include "sensorlib/nvml_loader_win.h"

#include <windows.h>

#include <memory>
#include <string>

#include "common/win/environment.h"
#include "common/win/module_path.h"
#include "sensorlib/nvml_source.h"

namespace sensorlib {
namespace {

// The folder this library was loaded from (the program's, as installed).
std::wstring OwnFolder() {
  HMODULE self = nullptr;
  if (!::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&OwnFolder), &self)) {
    return {};
  }
  return ostrel::win::ModuleFolder(self);
}

HMODULE LoadNvml() {
  if (const std::wstring folder = OwnFolder(); !folder.empty()) {
    if (HMODULE module =
            ::LoadLibraryExW((folder + L"nvml.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
      return module;
    }
  }
  if (HMODULE module = ::LoadLibraryExW(L"nvml.dll", nullptr,
                                        LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return module;
  }
  const std::wstring folder = ostrel::win::EnvironmentVariable(L"ProgramW6432");
  if (folder.empty()) return nullptr;
  const std::wstring path = folder + L"\\NVIDIA Corporation\\NVSMI\\nvml.dll";
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

DetectedSource DetectNvml() {
  HMODULE module = LoadNvml();
  if (!module) return {"nvml", nullptr, "no nvml.dll (no NVIDIA driver)"};
  const auto release = [module] { ::FreeLibrary(module); };
  NvmlApi api;
  const std::string missing = BindNvml(api, [module](const char* name) {
    return reinterpret_cast<NvmlExport>(::GetProcAddress(module, name));
  });
  if (!missing.empty()) {
    release();
    return {"nvml", nullptr, "nvml.dll lacks " + missing};
  }
  NvmlStart started = StartNvml(api, release);
  return {"nvml", std::move(started.source), started.why};
}

}  // namespace sensorlib
