#include "sensorlib/lhm_source.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "sensorlib/kinds.h"
#include "sensorlib/script.h"
#include "sensorlib/sysfs_text.h"

namespace sensorlib {
namespace {

int KindOf(const std::string& type) {
  if (type == "Cpu") return kKindProcessor;
  if (type == "GpuNvidia" || type == "GpuAmd" || type == "GpuIntel") return kKindGraphics;
  if (type == "Motherboard" || type == "SuperIO" || type == "EmbeddedController") return kKindMainboard;
  if (type == "Storage") return kKindDrive;
  if (type == "Memory") return kKindMemory;
  return kKindOther;
}

int ClassOf(const std::string& type) {
  if (type == "Temperature") return kClassTemperature;
  if (type == "Voltage") return kClassVoltage;
  if (type == "Fan") return kClassFan;
  if (type == "Clock") return kClassClock;
  if (type == "Load") return kClassLoad;
  return 0;
}

std::string Label(int kind, int sensor_class, const std::string& name) {
  if (kind == kKindProcessor && sensor_class == kClassTemperature) {
    if (name == "Core (Tctl/Tdie)") return "CPU (Tctl/Tdie)";
  }
  if (kind == kKindGraphics && name == "GPU Core") {
    if (sensor_class == kClassTemperature) return "GPU Temperature";
    if (sensor_class == kClassLoad) return "GPU Utilization";
  }
  return name;
}

// Plausible values only: a sensor a driver fails to read reports 0 or
// garbage in its own ways, but never beyond these.
bool Plausible(int sensor_class, double value) {
  if (!std::isfinite(value)) return false;
  switch (sensor_class) {
    case kClassTemperature:
      return value > -60 && value < 250;
    case kClassLoad:
      return value >= 0 && value <= 100;
    default:
      return std::fabs(value) < 1e7;
  }
}

}  // namespace

std::vector<SnapshotItem> LhmItems(const std::vector<WmiRow>& hardware, const std::vector<WmiRow>& sensors) {
  std::vector<SnapshotItem> items;
  std::map<std::string, std::size_t> by_identifier;
  std::vector<std::array<int, kClassLoad + 1>> next_slot;
  for (const WmiRow& row : hardware) {
    const std::string id = row.Text("Identifier");
    if (id.empty() || by_identifier.contains(id)) continue;
    by_identifier[id] = items.size();
    items.push_back({KindOf(row.Text("HardwareType")), CleanSysfsText(row.Text("Name"), kMaxNameLength), {}});
    next_slot.push_back({});
  }
  for (const WmiRow& row : sensors) {
    const auto it = by_identifier.find(row.Text("Parent"));
    const int sensor_class = ClassOf(row.Text("SensorType"));
    const auto value = row.Number("Value");
    if (it == by_identifier.end() || sensor_class == 0 || !value || !Plausible(sensor_class, *value))
      continue;
    SnapshotItem& item = items[it->second];
    int& slot = next_slot[it->second][sensor_class];
    if (slot > kMaxSlot) continue;
    std::string label = CleanSysfsText(Label(item.kind, sensor_class, row.Text("Name")), kMaxLabelLength);
    if (label.empty()) continue;
    item.readings.push_back({sensor_class, slot++, *value, std::move(label)});
  }
  std::erase_if(items, [](const SnapshotItem& item) { return item.readings.empty(); });
  return items;
}

void LhmSource::Open() { hardware_ = wmi_->Query(kLhmHardwareQuery).value_or(std::vector<WmiRow>{}); }

void LhmSource::Collect(const Moment&, std::vector<SnapshotItem>& items) {
  const auto sensors = wmi_->Query(kLhmSensorQuery);
  query_failed_ = !sensors;
  if (!sensors) return;
  // Hardware plugged in since: look at the hardware again, once.
  for (const WmiRow& row : *sensors) {
    const std::string parent = row.Text("Parent");
    const bool known = std::any_of(hardware_.begin(), hardware_.end(),
                                   [&](const WmiRow& h) { return h.Text("Identifier") == parent; });
    if (!known) {
      Open();
      break;
    }
  }
  for (SnapshotItem& item : LhmItems(hardware_, *sensors)) items.push_back(std::move(item));
}

std::vector<SnapshotItem> AcpiZoneItems(const std::vector<WmiRow>& zones) {
  SnapshotItem item{kKindMainboard, "ACPI Thermal Zone", {}};
  for (const WmiRow& zone : zones) {
    const auto tenths_kelvin = zone.Number("CurrentTemperature");
    if (!tenths_kelvin) continue;
    const double celsius = *tenths_kelvin / 10.0 - 273.15;
    if (!std::isfinite(celsius) || celsius <= -60 || celsius >= 250) continue;
    const int slot = static_cast<int>(item.readings.size());
    if (slot > kMaxSlot) break;
    item.readings.push_back(
        {kClassTemperature, slot, celsius,
         slot == 0 ? std::string("Motherboard") : "Thermal Zone #" + std::to_string(slot + 1)});
  }
  if (item.readings.empty()) return {};
  return {std::move(item)};
}

void AcpiZoneSource::Collect(const Moment&, std::vector<SnapshotItem>& items) {
  const auto zones = wmi_->Query(kAcpiZoneQuery);
  if (!zones) return;
  for (SnapshotItem& item : AcpiZoneItems(*zones)) items.push_back(std::move(item));
}

}  // namespace sensorlib
