#include "sensorlib/source_plan.h"

namespace sensorlib {

SourcePlan ChooseSources(bool script_variable, bool sysfs_variable, bool script_beside) {
  if (script_variable) return {true, "OSTREL_SENSOR_SCRIPT names a sensor script"};
  if (sysfs_variable) return {false, "OSTREL_SYSFS_ROOT names a host tree"};
  if (script_beside) return {true, "sensors.txt lies beside the library"};
  return {false, "no OSTREL_SENSOR_SCRIPT and no sensors.txt beside the library"};
}

SysfsRoot ResolveSysfsRoot(std::string_view variable, bool under_wine) {
  if (!variable.empty()) {
    std::string root(variable);
    if (root.front() == '/') root = "Z:" + root;
    return {root, "OSTREL_SYSFS_ROOT"};
  }
  if (under_wine) return {"Z:", "the Linux host, through Wine's Z: drive"};
  return {{}, "not running under Wine (no OSTREL_SYSFS_ROOT)"};
}

}  // namespace sensorlib
