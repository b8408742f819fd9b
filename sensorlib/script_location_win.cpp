#include <windows.h>

#include <string>

#include "common/win/environment.h"
#include "common/win/module_path.h"
#include "sensorlib/script_location.h"

namespace sensorlib {

ScriptLocation LocateScript() {
  if (std::wstring path = ostrel::win::EnvironmentVariable(kScriptVariable); !path.empty()) {
    return {path, "from OSTREL_SENSOR_SCRIPT", true};
  }
  HMODULE self = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&LocateScript), &self);
  const std::filesystem::path library = ostrel::win::ModulePath(self);
  return {library.parent_path() / kScriptFileName, "beside the library; OSTREL_SENSOR_SCRIPT names another"};
}

}  // namespace sensorlib
