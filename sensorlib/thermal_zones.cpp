#include "sensorlib/thermal_zones.h"

namespace sensorlib {

std::vector<ThermalChip> ThermalChips(const std::vector<ThermalZone>& zones, bool want_packages,
                                      bool want_acpi) {
  std::vector<ThermalChip> chips;
  ThermalChip acpi;
  acpi.facts.chip = "acpitz";
  int packages = 0;
  for (const ThermalZone& zone : zones) {
    if (zone.type == "x86_pkg_temp" && want_packages) {
      ThermalChip package;
      package.facts.chip = "coretemp";
      package.facts.inputs.push_back(
          {{HwmonQuantity::Temperature, 1}, "Package id " + std::to_string(packages++)});
      package.folders.push_back(zone.folder);
      chips.push_back(std::move(package));
    } else if (zone.type == "acpitz" && want_acpi) {
      acpi.facts.inputs.push_back(
          {{HwmonQuantity::Temperature, static_cast<int>(acpi.folders.size()) + 1}, {}});
      acpi.folders.push_back(zone.folder);
    }
  }
  if (!acpi.folders.empty()) chips.push_back(std::move(acpi));
  return chips;
}

}  // namespace sensorlib
