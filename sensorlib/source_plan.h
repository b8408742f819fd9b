// Which sources SensorInit takes up. The script stands in for the machine
// (tests, the demo); a user's installation carries none and gets the real
// sources.
#pragma once

#include <string>
#include <string_view>

namespace sensorlib {

struct SourcePlan {
  bool script = false;  // the script alone, else the real sources
  std::string why;
};

// script_variable: OSTREL_SENSOR_SCRIPT is set; sysfs_variable:
// OSTREL_SYSFS_ROOT is set; script_beside: sensors.txt lies beside the
// library. An explicit variable outweighs a file that merely lies there.
SourcePlan ChooseSources(bool script_variable, bool sysfs_variable, bool script_beside);

// Where the hwmon source finds the host's "/": the variable's folder (a
// Windows path, or a Unix path read through Wine's Z: drive), else Z: itself
// under Wine. Empty root: the source is absent, for the reason in why.
struct SysfsRoot {
  std::string root;
  std::string why;
};
SysfsRoot ResolveSysfsRoot(std::string_view variable, bool under_wine);

}  // namespace sensorlib
