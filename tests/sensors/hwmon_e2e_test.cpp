// ostrelctl as a user unzips it (no sensors.txt beside the library) against
// fake host trees named by OSTREL_SYSFS_ROOT: the program's own read pass
// decides what lands in the block, which this process holds with other
// contents first (hence --publish: beside a live block the tool only reads).
#include "tests/sensors/fake_sysfs.h"
#include "tests/sensors/tool_copy_win.h"

namespace {

using namespace ostrel::sensors;
namespace fs = std::filesystem;

class HwmonEndToEnd : public sensors_test::ToolCopy {};

TEST_F(HwmonEndToEnd, RyzenDesktop) {
  fake_sysfs::RyzenDesktop(tree_);
  HoldBlock();
  const std::string out = Run(L"sensors --publish");
  EXPECT_EQ(Field(BlockField::Cpu), 64.25f);
  EXPECT_EQ(Field(BlockField::GpuDedicated), 47.0f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), 0.0f);
  EXPECT_EQ(Field(BlockField::Mainboard), 33.5f);
  for (const char* line :
       {"  [0] hwmon    AMD Ryzen 7 5800X 8-Core Processor\n", "  [1] hwmon    AMD Radeon RX Graphics\n",
        "Found CPU usage: 25.0%\n", "Found Dedicated GPU usage: 35.0%\n",
        "from [0] \"AMD Ryzen 7 5800X 8-Core Processor\" temperature slot 0 \"CPU (Tctl/Tdie)\""}) {
    EXPECT_NE(out.find(line), std::string::npos) << line << "\n---\n" << out;
  }
}

TEST_F(HwmonEndToEnd, IntelLaptopThroughTheUnixPath) {
  fake_sysfs::IntelLaptop(tree_);
  const std::string unix_path = sensors_test::UnixPath(tree_);
  if (unix_path.empty()) GTEST_SKIP() << "not under Wine";
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", ostrel::win::Widen(unix_path).c_str());
  HoldBlock();
  const std::string out = Run(L"sensors --publish");
  EXPECT_EQ(Field(BlockField::Cpu), 71.0f);
  EXPECT_EQ(Field(BlockField::GpuDedicated), -1.0f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), -1.0f);
  EXPECT_EQ(Field(BlockField::Mainboard), 52.0f);
  EXPECT_NE(out.find("\"ACPI Thermal Zone\" temperature slot 0 \"Motherboard\""), std::string::npos) << out;
  const std::string sources = Run(L"sources");
  EXPECT_NE(sources.find("Z:" + unix_path + "/sys/class/hwmon and /proc/stat (OSTREL_SYSFS_ROOT)"),
            std::string::npos)
      << sources;
}

TEST_F(HwmonEndToEnd, DualSocketServer) {
  fake_sysfs::DualSocketServer(tree_);
  HoldBlock();
  const std::string out = Run(L"sensors --publish");
  EXPECT_EQ(Field(BlockField::Cpu), 62.0f);
  EXPECT_EQ(Field(BlockField::Mainboard), -1.0f);
  EXPECT_NE(out.find("  [1] hwmon    Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz #2\n"), std::string::npos)
      << out;
}

TEST_F(HwmonEndToEnd, SourcesSayWhy) {
  fake_sysfs::RyzenDesktop(tree_);
  std::string out = Run(L"sources");
  EXPECT_NE(out.find("  script                 absent  OSTREL_SYSFS_ROOT names a host tree\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("  hwmon                  found   "), std::string::npos) << out;

  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", (base_ / "no-such-tree").wstring().c_str());
  out = Run(L"sources");
  EXPECT_NE(out.find("  hwmon                  absent  neither "), std::string::npos) << out;

  // A host whose hwmon folder holds no chip: the processor's load from
  // /proc/stat is no temperature source.
  const fs::path bare = base_ / "bare";
  fs::create_directories(bare / "sys" / "class" / "hwmon");
  fake_sysfs::Put(bare, "proc/stat", "cpu  100 0 0 900 0 0 0 0 0 0\n");
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", bare.wstring().c_str());
  out = Run(L"sources");
  EXPECT_NE(out.find("  hwmon                  absent  no hwmon chip under "), std::string::npos) << out;
  EXPECT_NE(out.find("/sys/class/hwmon\n"), std::string::npos) << out;

  // A sample script beside the library stands in for the machine.
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", nullptr);
  fs::copy_file(sensors_test::BuildDir() / "sample" / "sensors.txt", app_ / "sensors.txt");
  out = Run(L"sources");
  EXPECT_NE(out.find("sensors.txt (sensors.txt lies beside the library)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  hwmon                  absent  not looked for: the sensor script stands in"),
            std::string::npos)
      << out;
  out = Run(L"sensors --publish");
  EXPECT_NE(out.find("  [0] script   Intel Core i7-12700K\n"), std::string::npos) << out;
}

TEST_F(HwmonEndToEnd, RunIsQuietUnlessTraced) {
  fake_sysfs::RyzenDesktop(tree_);
  std::string out = Run(L"run --trace --seconds 1");
  EXPECT_NE(out.find("INIT OK\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Found CPU usage: "), std::string::npos) << out;
  out = Run(L"run --seconds 1");
  EXPECT_EQ(out.find("INIT OK"), std::string::npos) << out;
  EXPECT_EQ(out.find("Sensor: "), std::string::npos) << out;
  EXPECT_NE(out.find("CPU 64\n"), std::string::npos) << out;
  Run(L"run --trace --seconds", 2);
}

}  // namespace
