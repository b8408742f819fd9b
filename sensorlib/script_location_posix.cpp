#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "sensorlib/script_location.h"

namespace sensorlib {

// Linked into the program itself, so "beside the library" is beside the
// program.
ScriptLocation LocateScript() {
  if (const char* path = std::getenv("OSTREL_SENSOR_SCRIPT"); path && *path) {
    return {path, "from OSTREL_SENSOR_SCRIPT", true};
  }
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return {program.parent_path() / kScriptFileName, "beside the program; OSTREL_SENSOR_SCRIPT names another"};
}

}  // namespace sensorlib
