// Readings of a running LibreHardwareMonitor through its WMI namespace
// root\LibreHardwareMonitor: the Hardware class once (again when a sensor
// names hardware not seen), the Sensor class once per update.
#pragma once

#include <memory>
#include <vector>

#include "sensorlib/sensor_source.h"
#include "sensorlib/wmi_connection.h"

namespace sensorlib {

inline constexpr std::string_view kLhmHardwareQuery = "SELECT Identifier, Name, HardwareType FROM Hardware";
inline constexpr std::string_view kLhmSensorQuery =
    "SELECT Identifier, Name, SensorType, Parent, Value FROM Sensor";

// LibreHardwareMonitor's hardware and sensors as items: its hardware types
// give the kinds, and its labels become the ones the program's rules know
// ("Core (Tctl/Tdie)" → "CPU (Tctl/Tdie)", a card's "GPU Core" temperature
// → "GPU Temperature"). See README.md for the table.
std::vector<SnapshotItem> LhmItems(const std::vector<WmiRow>& hardware, const std::vector<WmiRow>& sensors);

class LhmSource final : public SensorSource {
 public:
  explicit LhmSource(std::unique_ptr<WmiConnection> wmi) : wmi_(std::move(wmi)) {}

  void Open() override;
  bool Changed() override { return false; }
  void Collect(const Moment& moment, std::vector<SnapshotItem>& items) override;
  // LibreHardwareMonitor removes its namespace when it ends: the query
  // fails from then on.
  bool Gone() override { return query_failed_; }

 private:
  std::unique_ptr<WmiConnection> wmi_;
  std::vector<WmiRow> hardware_;
  bool query_failed_ = false;
};

// The ACPI thermal zones of root\WMI, the last resort for a "Motherboard"
// reading: MSAcpi_ThermalZoneTemperature in tenths of a kelvin.
inline constexpr std::string_view kAcpiZoneQuery =
    "SELECT InstanceName, CurrentTemperature FROM MSAcpi_ThermalZoneTemperature";

std::vector<SnapshotItem> AcpiZoneItems(const std::vector<WmiRow>& zones);

class AcpiZoneSource final : public SensorSource {
 public:
  explicit AcpiZoneSource(std::unique_ptr<WmiConnection> wmi) : wmi_(std::move(wmi)) {}
  void Open() override {}
  bool Changed() override { return false; }
  void Collect(const Moment& moment, std::vector<SnapshotItem>& items) override;

 private:
  std::unique_ptr<WmiConnection> wmi_;
};

}  // namespace sensorlib
