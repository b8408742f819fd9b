#include <windows.h>

#include <string>

#include "sensorlib/script_location.h"

namespace sensorlib {
namespace {

std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring Variable(const wchar_t* name) {
  const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD n = ::GetEnvironmentVariableW(name, value.data(), size);
  value.resize(n < size ? n : 0);
  return value;
}

}  // namespace

ScriptLocation LocateScript() {
  if (std::wstring path = Variable(kScriptVariable); !path.empty()) {
    return {path, "from OSTREL_SENSOR_SCRIPT", true};
  }
  HMODULE self = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&LocateScript), &self);
  const std::filesystem::path library = ModulePath(self);
  return {library.parent_path() / kScriptFileName, "beside the library; OSTREL_SENSOR_SCRIPT names another"};
}

}  // namespace sensorlib
