// LibreHardwareMonitor and the ACPI thermal zones as their WMI namespaces
// answer, through a stand-in connection: the mapping onto kinds and onto the
// labels the program's rules know, and what one update asks of WMI.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sensorlib/kinds.h"
#include "sensorlib/lhm_source.h"
#include "sensorlib/merge.h"
#include "sensorlib/system_load_source.h"
#include "sensors/hardware_block.h"
#include "tests/sensors/publish_items.h"

namespace sensorlib {
namespace {

using ostrel::sensors::BlockField;
using sensors_test::Publish;

WmiRow Hardware(const std::string& id, const std::string& name, const std::string& type) {
  return {{{"Identifier", id}, {"Name", name}, {"HardwareType", type}}, {}};
}
WmiRow Sensor(const std::string& parent, const std::string& name, const std::string& type, double value) {
  return {{{"Identifier", parent + "/" + name}, {"Name", name}, {"SensorType", type}, {"Parent", parent}},
          {{"Value", value}}};
}

class FakeWmi final : public WmiConnection {
 public:
  std::optional<std::vector<WmiRow>> Query(std::string_view wql) override {
    queries.emplace_back(wql);
    if (fail) return std::nullopt;
    if (wql == kLhmHardwareQuery) return hardware;
    if (wql == kLhmSensorQuery) return sensors;
    if (wql == kAcpiZoneQuery) return zones;
    return std::nullopt;
  }
  std::vector<WmiRow> hardware, sensors, zones;
  std::vector<std::string> queries;
  bool fail = false;
};

TEST(LibreHardwareMonitor, MapsOntoTheRulesAndQueriesSensorsOncePerUpdate) {
  auto owned = std::make_unique<FakeWmi>();
  FakeWmi& wmi = *owned;
  wmi.hardware = {Hardware("/amdcpu/0", "AMD Ryzen 9 5950X", "Cpu"),
                  Hardware("/gpu-nvidia/0", "NVIDIA GeForce RTX 3080", "GpuNvidia"),
                  Hardware("/motherboard", "ASUS ROG CROSSHAIR VIII HERO", "Motherboard"),
                  Hardware("/lpc/nct6798d/0", "Nuvoton NCT6798D", "SuperIO"),
                  Hardware("/nvme/0", "Samsung SSD 980 PRO 1TB", "Storage")};
  wmi.sensors = {Sensor("/amdcpu/0", "Core (Tctl/Tdie)", "Temperature", 63.5),
                 Sensor("/amdcpu/0", "CCD1 (Tdie)", "Temperature", 58),
                 Sensor("/amdcpu/0", "CPU Total", "Load", 17.25),
                 Sensor("/amdcpu/0", "Package", "Power", 95),
                 Sensor("/gpu-nvidia/0", "GPU Core", "Temperature", 51),
                 Sensor("/gpu-nvidia/0", "GPU Hot Spot", "Temperature", 66),
                 Sensor("/gpu-nvidia/0", "GPU Core", "Load", 99),
                 Sensor("/gpu-nvidia/0", "GPU Core", "Clock", 1905),
                 Sensor("/lpc/nct6798d/0", "CPU", "Temperature", 60),
                 Sensor("/lpc/nct6798d/0", "Motherboard", "Temperature", 34),
                 Sensor("/lpc/nct6798d/0", "Broken", "Temperature", std::numeric_limits<double>::quiet_NaN()),
                 Sensor("/lpc/nct6798d/0", "Bogus", "Temperature", -274),
                 Sensor("/nvme/0", "Composite Temperature", "Temperature", 41),
                 Sensor("/nowhere", "Orphan", "Temperature", 50)};
  LhmSource source(std::move(owned));
  source.Open();
  std::vector<SnapshotItem> items;
  source.Collect({}, items);
  ASSERT_EQ(items.size(), 4u);  // the board itself has no sensor of its own
  EXPECT_EQ(items[0].kind, kKindProcessor);
  EXPECT_EQ(items[0].readings[0].label, "CPU (Tctl/Tdie)");
  EXPECT_EQ(items[0].readings.size(), 3u);  // power has no class in the record
  EXPECT_EQ(items[1].kind, kKindGraphics);
  EXPECT_EQ(items[1].readings[0].label, "GPU Temperature");
  EXPECT_EQ(items[1].readings[1].label, "GPU Hot Spot");
  EXPECT_EQ(items[1].readings[2].label, "GPU Utilization");
  EXPECT_EQ(items[1].readings[3].label, "GPU Core");  // the clock keeps its name
  EXPECT_EQ(items[2].kind, kKindMainboard);
  EXPECT_EQ(items[2].readings.size(), 2u);
  EXPECT_EQ(items[3].kind, kKindDrive);

  const auto u = Publish(items);
  EXPECT_EQ(u[BlockField::Cpu].value, 63.5f);
  EXPECT_EQ(u[BlockField::GpuDedicated].value, 51.0f);
  EXPECT_EQ(u[BlockField::Mainboard].value, 34.0f);

  // The orphan sensor made it look at the hardware again; one more update
  // asks for the sensors only.
  EXPECT_EQ(wmi.queries,
            (std::vector<std::string>{std::string(kLhmHardwareQuery), std::string(kLhmSensorQuery),
                                      std::string(kLhmHardwareQuery)}));
  wmi.sensors.pop_back();
  wmi.queries.clear();
  items.clear();
  source.Collect({}, items);
  EXPECT_EQ(wmi.queries, (std::vector<std::string>{std::string(kLhmSensorQuery)}));

  // LibreHardwareMonitor ends: no items, no crash.
  wmi.fail = true;
  items.clear();
  source.Collect({}, items);
  EXPECT_TRUE(items.empty());

  // NVML knows the same card: the machine shows it once.
  const auto merged = MergeSources({{"librehardwaremonitor", LhmItems(wmi.hardware, wmi.sensors)},
                                    {"nvml", {{kKindGraphics, "NVIDIA GeForce RTX 3080", {}}}}});
  EXPECT_EQ(std::count_if(merged.begin(), merged.end(), [](auto& i) { return i.kind == kKindGraphics; }), 1);
}

TEST(AcpiThermalZones, TenthsOfAKelvinAndTheFirstZoneAsMotherboard) {
  const auto items = AcpiZoneItems({{{}, {{"CurrentTemperature", 3232}}},
                                    {{}, {{"CurrentTemperature", 0}}},
                                    {{}, {}},
                                    {{}, {{"CurrentTemperature", 3132}}}});
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].kind, kKindMainboard);
  ASSERT_EQ(items[0].readings.size(), 2u);
  EXPECT_EQ(items[0].readings[0].label, "Motherboard");
  EXPECT_NEAR(items[0].readings[0].value, 50.05, 1e-9);
  EXPECT_EQ(items[0].readings[1].label, "Thermal Zone #2");
  EXPECT_TRUE(AcpiZoneItems({{{}, {{"CurrentTemperature", 0}}}}).empty());
}

TEST(SystemLoad, LoadBetweenSamples) {
  std::vector<CpuTimes> samples = {{100, 400}, {400, 800}, {400, 800}};
  std::size_t next = 0;
  SystemLoadSource source("Intel Core", [&]() -> std::optional<CpuTimes> {
    if (next >= samples.size()) return std::nullopt;
    return samples[next++];
  });
  source.Open();
  std::vector<double> loads;
  for (int i = 0; i < 4; ++i) {
    std::vector<SnapshotItem> items;
    source.Collect({}, items);
    ASSERT_EQ(items.size(), 1u);
    loads.push_back(items[0].readings.at(0).value);
  }
  EXPECT_EQ(loads, (std::vector<double>{25, 75, 75, 75}));  // no time passed, then no sample: kept
}

}  // namespace
}  // namespace sensorlib
