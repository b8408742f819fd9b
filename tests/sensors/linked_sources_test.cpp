// The library as the Linux program links it: the entry points over this
// machine's sources, here fake trees under OSTREL_SYSFS_ROOT and a stand-in
// libnvidia-ml.so.1 on LD_LIBRARY_PATH (set by the test's ctest entry).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "sensorlib/linked_entry_points.h"
#include "sensors/hardware_block.h"
#include "sensors/read_pass.h"
#include "sensors/reading_record.h"
#include "tests/sensors/fake_sysfs.h"

namespace {

namespace fs = std::filesystem;
using ostrel::sensors::BlockField;
using ostrel::sensors::BlockUpdate;
using ostrel::sensors::EntryPoints;

class NoTrace final : public ostrel::sensors::TraceSink {
 public:
  void Write(std::string_view) noexcept override {}
};

// Every reading a pass saw, by "<item>/<label>" (first one of a name).
class Collect final : public ostrel::sensors::PassObserver {
 public:
  void OnReading(const ostrel::sensors::ObservedReading& r) noexcept override {
    values.emplace(std::string(r.hardware_name) + "/" + std::string(r.label), r.value);
  }
  void OnPassEnd(const ostrel::sensors::PassOutcome&) noexcept override {}
  std::map<std::string, double> values;
};

int OpenFiles() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

std::string Sources() {
  std::string text(sensorlib::LinkedDescribeSources(nullptr, 0), '\0');
  sensorlib::LinkedDescribeSources(text.data(), static_cast<std::int32_t>(text.size()));
  text.pop_back();
  return text;
}

class LinkedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("ostrel-linked-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    ::setenv("OSTREL_SYSFS_ROOT", root_.c_str(), 1);
    ::unsetenv("OSTREL_SENSOR_SCRIPT");
    ::setenv("FAKE_NVML_GPUS", "0", 1);
    ::unsetenv("FAKE_NVML_INIT_ERROR");
    lib_ = sensorlib::LinkedEntryPoints();
    ASSERT_TRUE(lib_.Complete());
  }
  void TearDown() override {
    std::string why;
    sensorlib::SetCpuSensorChoice("", why);
    lib_.entry398();
    fs::remove_all(root_);
  }

  BlockUpdate Pass(Collect* seen = nullptr) {
    NoTrace trace;
    const auto results = ostrel::sensors::RunReadPass(lib_, trace, seen);
    EXPECT_TRUE(results.has_value());
    return ostrel::sensors::DecideBlockUpdate(results.value_or(ostrel::sensors::PassResults{}));
  }

  fs::path root_;
  EntryPoints lib_;
};

// The Ryzen desktop read through kept-open files: values follow the tree,
// no file is opened per pass, and the sources say where they read.
TEST_F(LinkedLibrary, ReadsTheHostThroughFilesKeptOpen) {
  fake_sysfs::RyzenDesktop(root_);
  ASSERT_EQ(lib_.init(ostrel::sensors::kInitFlags), 0);
  EXPECT_EQ(lib_.hardware_count(), 4);
  Collect seen;
  BlockUpdate u = Pass(&seen);
  EXPECT_EQ(u[BlockField::Cpu].value, 64.25f);
  EXPECT_EQ(u[BlockField::GpuDedicated].value, 47.0f);
  EXPECT_EQ(u[BlockField::Mainboard].value, 33.5f);
  EXPECT_EQ(seen.values["AMD Ryzen 7 5800X 8-Core Processor/CPU Total"], 25);
  EXPECT_GE(seen.values.size(), 36u);  // a few labels repeat across classes

  const int open = OpenFiles();
  for (int i = 0; i < 12; ++i) {
    fake_sysfs::Put(root_, "sys/class/hwmon/hwmon1/temp1_input", std::to_string(40000 + i * 1000) + "\n");
    u = Pass();
    EXPECT_EQ(u[BlockField::Cpu].value, 40.0f + static_cast<float>(i));
  }
  EXPECT_EQ(OpenFiles(), open);

  const std::string sources = Sources();
  EXPECT_NE(sources.find("script\tabsent\tOSTREL_SYSFS_ROOT names a host tree\n"), std::string::npos)
      << sources;
  EXPECT_NE(sources.find("nvml\tabsent\tNVML reports no NVIDIA card\n"), std::string::npos) << sources;
  EXPECT_NE(sources.find("hwmon\tfound\t" + root_.string() + "/sys/class/hwmon, "), std::string::npos)
      << sources;
  char source[64] = {};
  sensorlib::LinkedHardwareSource(0, source, sizeof source);
  EXPECT_STREQ(source, "hwmon");

  // A file that vanishes mid-run still reads while open (a removed device's
  // would fail at once); the layout is found again within the listing
  // interval of five passes, and the board's value is gone.
  fs::remove(root_ / "sys/class/hwmon/hwmon3/temp1_input");
  int passes = 0;
  while (Pass()[BlockField::Mainboard].write && ++passes < 6) {
  }
  EXPECT_LT(passes, 6);
  EXPECT_EQ(lib_.hardware_count(), 4);

  // A chip whose folder comes before its attributes (a device being bound)
  // gives its item as soon as they are there.
  fake_sysfs::Put(root_, "sys/class/hwmon/hwmon7/name", "drivetemp\n");
  Pass();
  EXPECT_EQ(lib_.hardware_count(), 4);
  fake_sysfs::Put(root_, "sys/class/hwmon/hwmon7/temp1_input", "36000\n");
  Pass();
  EXPECT_EQ(lib_.hardware_count(), 5);
}

// A board that wires the CPU to its monitor chip: the user's choice wins
// over every automatic rule; an unknown one is refused, said why, and the
// automatic choice applies.
TEST_F(LinkedLibrary, CpuSensorChoice) {
  fake_sysfs::RyzenDesktop(root_);
  std::string why;
  EXPECT_FALSE(sensorlib::SetCpuSensorChoice("nct6798/CPUTIN", why));
  EXPECT_NE(why.find("no hwmon chip \"nct6798\" (chips: nvme, k10temp, amdgpu, nct6775)"), std::string::npos)
      << why;
  EXPECT_FALSE(sensorlib::SetCpuSensorChoice("nct6775/CPU", why));
  EXPECT_NE(why.find("temperatures: SYSTIN, CPUTIN, AUXTIN0, AUXTIN1, PECI Agent 0, PCH_CHIP_TEMP"),
            std::string::npos)
      << why;
  EXPECT_FALSE(sensorlib::SetCpuSensorChoice("CPUTIN", why));
  ASSERT_EQ(lib_.init(ostrel::sensors::kInitFlags), 0);
  EXPECT_EQ(Pass()[BlockField::Cpu].value, 64.25f);

  EXPECT_TRUE(sensorlib::SetCpuSensorChoice("nct6775/CPUTIN", why)) << why;
  EXPECT_EQ(Pass()[BlockField::Cpu].value, 61.0f);  // followed without a new start
  EXPECT_TRUE(sensorlib::SetCpuSensorChoice(" k10temp / Tccd1 ", why)) << why;
  Collect seen;
  const BlockUpdate u = Pass(&seen);
  EXPECT_EQ(u[BlockField::Cpu].value, 58.5f);
  EXPECT_EQ(u[BlockField::Mainboard].value, 33.5f);
  EXPECT_EQ(seen.values.count("AMD Ryzen 7 5800X 8-Core Processor/CCD1 (Tdie)"), 0u);
  EXPECT_EQ(seen.values["AMD Ryzen 7 5800X 8-Core Processor/CPU Package"], 58.5);
  EXPECT_TRUE(sensorlib::SetCpuSensorChoice("", why));
  EXPECT_EQ(Pass()[BlockField::Cpu].value, 64.25f);
}

// A machine without coretemp in hwmon (a virtual machine): the package zone
// is the CPU, the ACPI zone the board; a coretemp chip, when there, wins.
TEST_F(LinkedLibrary, ThermalZonesStandInForMissingChips) {
  const auto zone = [&](int n, const std::string& type, int millidegrees) {
    const std::string z = "sys/class/thermal/thermal_zone" + std::to_string(n) + "/";
    fake_sysfs::Put(root_, z + "type", type + "\n");
    fake_sysfs::Put(root_, z + "temp", std::to_string(millidegrees) + "\n");
  };
  zone(0, "acpitz", 27800);
  zone(1, "INT3400 Thermal", 20000);
  zone(2, "x86_pkg_temp", 48000);
  zone(10, "acpitz", 30000);
  fake_sysfs::Put(root_, "proc/stat", "cpu  10 0 0 30 0 0 0 0 0 0\n");
  ASSERT_EQ(lib_.init(ostrel::sensors::kInitFlags), 0);
  ASSERT_EQ(lib_.hardware_count(), 2);
  Collect seen;
  BlockUpdate u = Pass(&seen);
  EXPECT_EQ(u[BlockField::Cpu].value, 48.0f);
  EXPECT_EQ(u[BlockField::Cpu].origin, ostrel::sensors::ResultId::ProcessorPackage);
  EXPECT_EQ(u[BlockField::Mainboard].value, 27.8f);
  EXPECT_EQ(seen.values["ACPI Thermal Zone/Temperature #2"], 30);
  EXPECT_EQ(seen.values["Intel Processor/CPU Total"], 25);
  lib_.entry398();

  fake_sysfs::IntelLaptop(root_);  // coretemp 71, acpitz 52 in hwmon
  ASSERT_EQ(lib_.init(ostrel::sensors::kInitFlags), 0);
  u = Pass();
  EXPECT_EQ(u[BlockField::Cpu].value, 71.0f);
  EXPECT_EQ(u[BlockField::Mainboard].value, 52.0f);
}

// NVML from the driver's soname, opened at run time: a card, or an absent
// source when the library fails.
TEST_F(LinkedLibrary, NvidiaCardsThroughNvml) {
  fake_sysfs::RyzenDesktop(root_);
  ::setenv("FAKE_NVML_GPUS", "1", 1);
  ASSERT_EQ(lib_.init(ostrel::sensors::kInitFlags), 0);
  EXPECT_EQ(lib_.hardware_count(), 5);
  Collect seen;
  EXPECT_EQ(Pass(&seen)[BlockField::GpuDedicated].value, 55.0f);  // above the Radeon's 47
  EXPECT_EQ(seen.values["NVIDIA GeForce RTX 3080/GPU Fan"], 35);
  EXPECT_NE(Sources().find("nvml\tfound\t1 NVIDIA card through libnvidia-ml.so.1\n"), std::string::npos);
  lib_.entry398();

  ::setenv("FAKE_NVML_INIT_ERROR", "3", 1);
  ASSERT_EQ(lib_.init(ostrel::sensors::kInitFlags), 0);
  EXPECT_EQ(lib_.hardware_count(), 4);
  EXPECT_NE(Sources().find("nvml\tabsent\tnvmlInit failed with 3\n"), std::string::npos) << Sources();
}

}  // namespace
