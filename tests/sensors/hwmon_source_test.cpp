// The hwmon source over fake host trees, read the way the program's pass
// reads the library: which value would land at 152, 296, 444 and 584.
#include "sensorlib/hwmon_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "sensorlib/hwmon_map.h"
#include "sensorlib/kinds.h"
#include "sensorlib/proc_text.h"
#include "sensorlib/source_plan.h"
#include "sensorlib/sysfs_text.h"
#include "sensors/hardware_block.h"
#include "tests/sensors/fake_sysfs.h"

namespace sensorlib {
namespace {

namespace fs = std::filesystem;
using ostrel::sensors::BlockField;
using ostrel::sensors::BlockUpdate;

// The class-1 readings of every item in slot order through the name rules.
BlockUpdate Publish(const std::vector<SnapshotItem>& items) {
  ostrel::sensors::PassResults results;
  for (int h = 0; h < static_cast<int>(items.size()); ++h) {
    std::vector<SnapshotReading> temps;
    for (const auto& r : items[h].readings) {
      if (r.sensor_class == kClassTemperature) temps.push_back(r);
    }
    std::sort(temps.begin(), temps.end(), [](auto& a, auto& b) { return a.slot < b.slot; });
    for (const auto& r : temps) {
      if (auto v = ostrel::sensors::NarrowReading(r.value)) {
        ApplyTemperatureRules(results, {items[h].kind, r.label, items[h].name, *v, {h, r.slot}});
      }
    }
  }
  return ostrel::sensors::DecideBlockUpdate(results);
}

const SnapshotReading* Find(const SnapshotItem& item, int sensor_class, std::string_view label) {
  for (const auto& r : item.readings) {
    if (r.sensor_class == sensor_class && r.label == label) return &r;
  }
  return nullptr;
}

class HwmonTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("ostrel-hwmon-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  HwmonSource& Source() {
    if (!source_) {
      source_ = std::make_unique<HwmonSource>(root_.string() + "/", MakeHostFiles(), 1);
      source_->Open();
    }
    return *source_;
  }
  std::vector<SnapshotItem> Pass() {
    Source().Changed();
    std::vector<SnapshotItem> items;
    Source().Collect({}, items);
    for (const auto& item : items) {
      for (const auto& r : item.readings) {
        EXPECT_TRUE(std::isfinite(r.value)) << item.name << " " << r.label;
        EXPECT_FALSE(r.label.empty()) << item.name;
        EXPECT_LE(r.label.size(), 135u);
      }
    }
    return items;
  }
  std::string Hwmon(const std::string& rest) const { return "sys/class/hwmon/" + rest; }

  fs::path root_;
  std::unique_ptr<HwmonSource> source_;
};

TEST_F(HwmonTree, RyzenDesktop) {
  fake_sysfs::RyzenDesktop(root_);
  const auto items = Pass();
  ASSERT_EQ(items.size(), 4u);
  std::size_t readings = 0;
  for (const auto& item : items) readings += item.readings.size();
  EXPECT_GE(readings, 38u);

  EXPECT_EQ(items[0].kind, kKindProcessor);
  EXPECT_EQ(items[0].name, "AMD Ryzen 7 5800X 8-Core Processor");
  EXPECT_EQ(Find(items[0], kClassTemperature, "CPU (Tctl/Tdie)")->value, 64.25);
  EXPECT_EQ(Find(items[0], kClassTemperature, "CCD2 (Tdie)")->value, 55);
  EXPECT_NEAR(Find(items[0], kClassLoad, "CPU Total")->value, 25, 1e-9);  // since boot, first sample

  EXPECT_EQ(items[1].kind, kKindGraphics);
  EXPECT_EQ(items[1].name, "AMD Radeon RX Graphics");
  EXPECT_EQ(Find(items[1], kClassTemperature, "GPU Hot Spot")->value, 52);
  EXPECT_EQ(Find(items[1], kClassClock, "GPU Core")->value, 2100);
  EXPECT_DOUBLE_EQ(Find(items[1], kClassVoltage, "GPU Core")->value, 0.95);
  EXPECT_EQ(Find(items[1], kClassLoad, "GPU Utilization")->value, 35);
  EXPECT_EQ(Find(items[1], kClassFan, "GPU Fan")->value, 1200);

  EXPECT_EQ(items[2].kind, kKindMainboard);
  EXPECT_EQ(items[2].name, "Nuvoton NCT6775");
  EXPECT_EQ(Find(items[2], kClassTemperature, "CPU")->value, 61);
  EXPECT_EQ(Find(items[2], kClassTemperature, "Auxiliary #1")->value, 29);
  EXPECT_EQ(Find(items[2], kClassVoltage, "Vcore")->value, 1);

  EXPECT_EQ(items[3].kind, kKindDrive);
  EXPECT_EQ(items[3].name, "Samsung SSD 980 PRO 1TB");
  EXPECT_DOUBLE_EQ(Find(items[3], kClassTemperature, "Composite Temperature")->value, 38.85);

  const BlockUpdate u = Publish(items);
  EXPECT_EQ(u[BlockField::Cpu].value, 64.25f);
  EXPECT_EQ(u[BlockField::Cpu].origin, ostrel::sensors::ResultId::TctlTdie);
  EXPECT_EQ(u[BlockField::GpuDedicated].value, 47.0f);
  EXPECT_TRUE(u[BlockField::GpuIntegrated].write && u[BlockField::GpuIntegrated].cleared);
  EXPECT_EQ(u[BlockField::Mainboard].value, 33.5f);
}

TEST_F(HwmonTree, IntelLaptop) {
  fake_sysfs::IntelLaptop(root_);
  const auto items = Pass();
  ASSERT_EQ(items.size(), 4u);  // no item for the i915, which has no sensor
  EXPECT_EQ(items[0].name, "11th Gen Intel(R) Core(TM) i7-1165G7 @ 2.80GHz");
  EXPECT_EQ(Find(items[0], kClassTemperature, "CPU Core #4")->value, 69);
  EXPECT_EQ(items[1].name, "ACPI Thermal Zone");
  EXPECT_EQ(items[2].kind, kKindDrive);
  EXPECT_EQ(items[2].name, "NVMe Drive");
  EXPECT_EQ(items[3].kind, kKindOther);
  EXPECT_EQ(items[3].name, "iwlwifi_1");

  const BlockUpdate u = Publish(items);
  EXPECT_EQ(u[BlockField::Cpu].value, 71.0f);
  EXPECT_EQ(u[BlockField::Cpu].origin, ostrel::sensors::ResultId::ProcessorPackage);
  EXPECT_FALSE(u[BlockField::GpuDedicated].write);
  EXPECT_FALSE(u[BlockField::GpuIntegrated].write);
  EXPECT_EQ(u[BlockField::Mainboard].value, 52.0f);
}

TEST_F(HwmonTree, DualSocketServerPublishesTheLastPackage) {
  fake_sysfs::DualSocketServer(root_);
  const auto items = Pass();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].name, "Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz #1");
  EXPECT_EQ(items[1].name, "Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz #2");
  EXPECT_EQ(Find(items[0], kClassTemperature, "CPU Package")->value, 55);
  EXPECT_NE(Find(items[0], kClassLoad, "CPU Total"), nullptr);
  EXPECT_EQ(Find(items[1], kClassLoad, "CPU Total"), nullptr);
  const BlockUpdate u = Publish(items);
  EXPECT_EQ(u[BlockField::Cpu].value, 62.0f);
  EXPECT_FALSE(u[BlockField::Mainboard].write);
}

TEST_F(HwmonTree, TdieWinsOverAnOffsetTctlAndLoadFollowsProcStat) {
  fake_sysfs::Put(root_, Hwmon("hwmon0/name"), "zenpower\n");
  fake_sysfs::Put(root_, Hwmon("hwmon0/temp1_label"), "Tctl\n");
  fake_sysfs::Put(root_, Hwmon("hwmon0/temp1_input"), "77000\n");
  fake_sysfs::Put(root_, Hwmon("hwmon0/temp2_label"), "Tdie\n");
  fake_sysfs::Put(root_, Hwmon("hwmon0/temp2_input"), "50000\n");
  fake_sysfs::Put(root_, "proc/stat", "cpu  100 0 0 900 0\n");
  auto items = Pass();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].name, "AMD Processor");
  EXPECT_EQ(Find(items[0], kClassTemperature, "CPU (Tctl)")->value, 77);
  EXPECT_EQ(Publish(items)[BlockField::Cpu].value, 50.0f);

  fake_sysfs::Put(root_, "proc/stat", "cpu  400 0 0 1000 0\n");  // 300 of 400 busy
  items = Pass();
  EXPECT_NEAR(Find(items[0], kClassLoad, "CPU Total")->value, 75, 1e-9);
  items = Pass();  // no time passed: the last load stays
  EXPECT_NEAR(Find(items[0], kClassLoad, "CPU Total")->value, 75, 1e-9);
}

TEST_F(HwmonTree, HotPlugAndGarbageNeverReachTheRecord) {
  fake_sysfs::RyzenDesktop(root_);
  ASSERT_EQ(Pass().size(), 4u);

  // The card goes, an ACPI zone comes; a label too long for the record is
  // cut.
  fs::remove_all(root_ / Hwmon("hwmon2"));
  fake_sysfs::Put(root_, Hwmon("hwmon3/temp3_label"), std::string(300, 'x') + "\n");
  fake_sysfs::Put(root_, Hwmon("hwmon7/name"), "acpitz\n");
  fake_sysfs::Put(root_, Hwmon("hwmon7/temp1_input"), "40000\n");
  EXPECT_TRUE(Source().Changed());
  auto items = Pass();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1].name, "Nuvoton NCT6775");
  EXPECT_EQ(items[2].name, "ACPI Thermal Zone");
  EXPECT_EQ(Publish(items)[BlockField::Mainboard].value, 33.5f);  // the chip before the zone
  EXPECT_NE(Find(items[1], kClassTemperature, std::string(135, 'x')), nullptr);
  EXPECT_FALSE(Source().Changed());

  // Garbage in every form a file can hold it; a value file that cannot be
  // read (a folder in its place).
  const std::string k10 = Hwmon("hwmon1/");
  fake_sysfs::Put(root_, k10 + "temp3_input", "");
  fake_sysfs::Put(root_, k10 + "temp4_input", "abc\n");
  fake_sysfs::Put(root_, Hwmon("hwmon3/temp1_input"), "-999999999999\n");
  fake_sysfs::Put(root_, Hwmon("hwmon3/temp2_input"), std::string(1 << 20, '7'));
  fake_sysfs::Put(root_, Hwmon("hwmon3/fan1_input"), "nan\n");
  fake_sysfs::Put(root_, Hwmon("hwmon3/temp3_label"), std::string(4000, 'x') + "\n");
  fs::remove(root_ / (k10 + "temp1_input"));
  fs::create_directory(root_ / (k10 + "temp1_input"));
  fake_sysfs::Put(root_, "proc/stat", "cpu  garbage\n");
  items = Pass();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_TRUE(items[0].readings.size() <= 1);  // at most the load kept from before
  EXPECT_EQ(Find(items[1], kClassTemperature, "Motherboard"), nullptr);
  EXPECT_EQ(Find(items[1], kClassTemperature, "CPU"), nullptr);
  EXPECT_EQ(Find(items[1], kClassFan, "Fan #1"), nullptr);
  const BlockUpdate u = Publish(items);
  EXPECT_FALSE(u[BlockField::Cpu].write);
  EXPECT_EQ(u[BlockField::Mainboard].value, 40.0f);  // the zone stands in

  // Everything comes back once the files do; a label beyond any sysfs
  // label's length is not taken.
  fs::remove(root_ / (k10 + "temp1_input"));
  fake_sysfs::RyzenDesktop(root_);
  fake_sysfs::Put(root_, Hwmon("hwmon3/temp3_label"), std::string(4000, 'x') + "\n");
  items = Pass();
  items = Pass();
  EXPECT_EQ(Publish(items)[BlockField::Cpu].value, 64.25f);
  EXPECT_EQ(Publish(items)[BlockField::Mainboard].value, 33.5f);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[2].name, "Nuvoton NCT6775");
  EXPECT_NE(Find(items[2], kClassTemperature, "Temperature #3"), nullptr);

  // The whole tree goes.
  fs::remove_all(root_);
  EXPECT_TRUE(Source().Changed());
  EXPECT_TRUE(Pass().empty());
}

TEST(HwmonMap, AmdGraphicsCardOrApu) {
  ChipFacts facts{"amdgpu", {{{HwmonQuantity::Temperature, 1}, "edge"}}, {}, {}, {}, false};
  EXPECT_EQ(MapChip(facts, 0, {})->name, "AMD Radeon RX Graphics");  // no memory file: a card
  facts.vram = 512LL << 20;
  EXPECT_EQ(MapChip(facts, 0, {})->name, "AMD Radeon Graphics");  // an APU's carve-out
  facts.product_name = "AMD Radeon RX 7900 XTX";
  EXPECT_EQ(MapChip(facts, 0, {})->name, "AMD Radeon Graphics");  // the name disagrees with the memory
  facts.vram = 24LL << 30;
  EXPECT_EQ(MapChip(facts, 0, {})->name, "AMD Radeon RX 7900 XTX");
  facts.inputs = {};
  EXPECT_FALSE(MapChip(facts, 0, {}));  // nothing to read: no item
}

TEST(SysfsText, ParsesOnlyWhatIsANumber) {
  EXPECT_EQ(ParseSysfsInteger("45000\n"), 45000);
  EXPECT_EQ(ParseSysfsInteger("  -12 "), -12);
  EXPECT_EQ(ParseSysfsInteger("+7"), 7);
  EXPECT_EQ(ParseSysfsInteger("999999999999999999"), 999999999999999999LL);
  for (std::string_view bad :
       {"", "\n", "-", "abc", "12a", "1 2", "0x10", "1e3", "1234567890123456789", "--1"}) {
    EXPECT_FALSE(ParseSysfsInteger(bad)) << bad;
  }
  EXPECT_FALSE(ScaleHwmonValue(HwmonQuantity::Temperature, -999999999999));
  EXPECT_FALSE(ScaleHwmonValue(HwmonQuantity::Temperature, 0x7FFFFFFF));
  EXPECT_FALSE(ScaleHwmonValue(HwmonQuantity::Temperature, -273150));
  EXPECT_EQ(ScaleHwmonValue(HwmonQuantity::Temperature, -5000), -5.0);
  EXPECT_EQ(ScaleHwmonValue(HwmonQuantity::Voltage, -12000), -12.0);
  EXPECT_FALSE(ScaleHwmonValue(HwmonQuantity::Fan, -1));
  EXPECT_EQ(ScaleHwmonValue(HwmonQuantity::Frequency, 3'500'000'000), 3500.0);
  EXPECT_FALSE(ScaleHwmonValue(HwmonQuantity::Load, 101));

  EXPECT_EQ(ParseHwmonInputName("temp12_input")->index, 12);
  EXPECT_EQ(ParseHwmonInputName("in0_input")->quantity, HwmonQuantity::Voltage);
  for (std::string_view bad : {"temp_input", "temp1_label", "energy1_input", "tempx_input",
                               "temp123456_input", "_input", "fan-1_input"}) {
    EXPECT_FALSE(ParseHwmonInputName(bad)) << bad;
  }
  EXPECT_EQ(CleanSysfsText("  Package\tid  0 \nsecond line", 64), "Package id 0");
  EXPECT_EQ(CleanSysfsText(std::string("a\0b\xff"
                                       "c",
                                       5),
                           64),
            "a b c");
  EXPECT_EQ(CleanSysfsText("abcdef", 3), "abc");
  EXPECT_EQ(CleanSysfsText("ab  cd", 3), "ab");
}

TEST(ProcText, LoadAndModels) {
  const auto a = ParseProcStat("cpu  10 0 10 80 0 0 0 0 0 0\ncpu0 1 2 3 4\n");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->total, 100u);
  EXPECT_EQ(a->busy, 20u);
  const auto b = ParseProcStat("cpu  20 0 20 150 10 0 0 0\n");
  EXPECT_NEAR(*LoadBetween(*a, *b), 20.0, 1e-9);
  EXPECT_FALSE(LoadBetween(*b, *a));
  EXPECT_FALSE(LoadBetween(*a, *a));
  for (std::string_view bad : {"", "cpu0 1 2 3 4", "cpu  1 2 3", "cpu  1 2 x 4", "cpu  -1 2 3 4",
                               "cpu  99999999999999999999 1 1 1", "intr 1\ncpu  1 2 3 4"}) {
    EXPECT_FALSE(ParseProcStat(bad)) << bad;
  }
  const auto models = ParseCpuModels(
      "processor\t: 0\nmodel name\t: Xeon A\nphysical id\t: 1\n\nprocessor : 1\nmodel name : Xeon B\n"
      "physical id : 0\n\nprocessor : 2\nmodel name : Other\nphysical id : 1\n");
  EXPECT_EQ(models, (std::map<int, std::string>{{0, "Xeon B"}, {1, "Xeon A"}}));
  EXPECT_TRUE(ParseCpuModels("garbage\n:\n::::\n").empty());
}

TEST(SourcePlan, ScriptOnlyWhenAskedFor) {
  EXPECT_TRUE(ChooseSources(true, true, true).script);
  EXPECT_FALSE(ChooseSources(false, true, true).script);
  EXPECT_TRUE(ChooseSources(false, false, true).script);
  EXPECT_FALSE(ChooseSources(false, false, false).script);

  EXPECT_EQ(ResolveSysfsRoot("/tmp/tree", false).root, "Z:/tmp/tree");
  EXPECT_EQ(ResolveSysfsRoot("C:\\trees\\ryzen", true).root, "C:\\trees\\ryzen");
  EXPECT_EQ(ResolveSysfsRoot("", true).root, "Z:");
  const SysfsRoot windows = ResolveSysfsRoot("", false);
  EXPECT_TRUE(windows.root.empty());
  EXPECT_EQ(windows.why, "not running under Wine (no OSTREL_SYSFS_ROOT)");
}

}  // namespace
}  // namespace sensorlib
