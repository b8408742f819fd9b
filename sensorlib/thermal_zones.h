// The kernel's thermal zones (/sys/class/thermal) as the hwmon chips they
// stand in for. The processor package zones (x86_pkg_temp) never appear
// under hwmon, so a machine without coretemp (a virtual machine, a kernel
// without the module) still has a package temperature; ACPI zones normally
// do appear there as "acpitz" and are taken from here only when not.
#pragma once

#include <string>
#include <vector>

#include "sensorlib/hwmon_map.h"

namespace sensorlib {

struct ThermalZone {
  std::string folder;  // thermal_zone<n>
  std::string type;    // its cleaned "type" file
};

// The zones that count, mapped by the hwmon chip rules: each x86_pkg_temp
// zone a coretemp chip with one "Package id <k>" input (k: its place among
// them), every acpitz zone an input of one acpitz chip (the first is the
// "Motherboard"). inputs[i] of a chip reads folders[i]/temp.
struct ThermalChip {
  ChipFacts facts;
  std::vector<std::string> folders;
};
std::vector<ThermalChip> ThermalChips(const std::vector<ThermalZone>& zones, bool want_packages,
                                      bool want_acpi);

}  // namespace sensorlib
