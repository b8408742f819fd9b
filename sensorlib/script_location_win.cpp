#include <windows.h>

#include <string>

#include "common/win/module_path.h"
#include "sensorlib/script_location.h"

namespace sensorlib {
namespace {

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
  const std::filesystem::path library = ostrel::win::ModulePath(self);
  return {library.parent_path() / kScriptFileName, "beside the library; OSTREL_SENSOR_SCRIPT names another"};
}

}  // namespace sensorlib
