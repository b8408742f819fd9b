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

// The first of the names the module exports (newer names first).
template <typename Fn>
bool Bind(HMODULE module, Fn& out, std::initializer_list<const char*> names, std::string& missing) {
  for (const char* name : names) {
    if (FARPROC proc = ::GetProcAddress(module, name)) {
      out = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
      return true;
    }
  }
  if (missing.empty()) missing = *names.begin();
  return false;
}

}  // namespace

DetectedSource DetectNvml() {
  HMODULE module = LoadNvml();
  if (!module) return {"nvml", nullptr, "no nvml.dll (no NVIDIA driver)"};
  const auto release = [module] { ::FreeLibrary(module); };
  NvmlApi api;
  std::string missing;
  Bind(module, api.init, {"nvmlInit_v2", "nvmlInit"}, missing);
  Bind(module, api.shutdown, {"nvmlShutdown"}, missing);
  Bind(module, api.device_count, {"nvmlDeviceGetCount_v2", "nvmlDeviceGetCount"}, missing);
  Bind(module, api.device_by_index, {"nvmlDeviceGetHandleByIndex_v2", "nvmlDeviceGetHandleByIndex"}, missing);
  Bind(module, api.device_name, {"nvmlDeviceGetName"}, missing);
  Bind(module, api.temperature, {"nvmlDeviceGetTemperature"}, missing);
  std::string optional;
  Bind(module, api.utilization, {"nvmlDeviceGetUtilizationRates"}, optional);
  Bind(module, api.fan_speed, {"nvmlDeviceGetFanSpeed"}, optional);
  if (!missing.empty()) {
    release();
    return {"nvml", nullptr, "nvml.dll lacks " + missing};
  }
  NvmlStart started = StartNvml(api, release);
  return {"nvml", std::move(started.source), started.why};
}

}  // namespace sensorlib
