// ostrelctl as a user unzips it (no sensors.txt beside the library) against
// fake host trees named by OSTREL_SYSFS_ROOT: the program's own read pass
// decides what lands in the block, which this process holds with other
// contents first.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/win/text.h"
#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"
#include "tests/sensors/build_paths_win.h"
#include "tests/sensors/fake_sysfs.h"

namespace {

using namespace ostrel::sensors;
namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

// Wine's kernel32 turns a Windows path into the host's; nothing on Windows.
std::string UnixPath(const fs::path& path) {
  using ToUnix = char* (*)(const wchar_t*);
  const auto to_unix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!to_unix) return {};
  char* unix_path = to_unix(path.wstring().c_str());
  if (!unix_path) return {};
  std::string out = unix_path;
  ::HeapFree(::GetProcessHeap(), 0, unix_path);
  return out;
}

class HwmonEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("ostrel-hwmon-e2e-" + std::to_string(::GetCurrentProcessId()));
    fs::remove_all(base_);
    fs::create_directories(app_ = base_ / "app");
    tree_ = base_ / "tree";
    const fs::path bin = sensors_test::BuildDir() / "bin";
    for (const char* file : {"ostrelctl.exe", "api-ms-win-core-sysinfo-825-32.dll", "hidapi.dll"}) {
      fs::copy_file(bin / file, app_ / file);
    }
    ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", nullptr);
    ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", tree_.wstring().c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", nullptr);
    view_.reset();
    section_.reset();
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  std::string Run(const std::wstring& arguments, DWORD expected_exit = 0) {
    // A fresh file each time: the last child's handle may linger a moment.
    const fs::path out_path = base_ / ("out" + std::to_string(++runs_) + ".txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    ostrel::win::unique_file out(::CreateFileW(out_path.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                               &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
      ADD_FAILURE() << "cannot create " << out_path;
      return {};
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    std::wstring command = L"\"" + (app_ / "ostrelctl.exe").wstring() + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, app_.wstring().c_str(),
                          &startup, &process)) {
      ADD_FAILURE() << "cannot start ostrelctl";
      return {};
    }
    ostrel::win::unique_handle process_handle(process.hProcess), thread_handle(process.hThread);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exit_code = 0;
    ::GetExitCodeProcess(process.hProcess, &exit_code);
    out.reset();
    std::string text = ReadText(out_path);
    EXPECT_EQ(exit_code, expected_exit) << text;
    return text;
  }

  void HoldBlock() {
    section_.reset(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, kBlockName));
    ASSERT_TRUE(section_);
    view_.reset(::MapViewOfFile(section_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(view_);
    for (BlockField f : kBlockFields) StoreBlockFloat(view_.get(), f, -1.0f);
  }
  float Field(BlockField f) const { return LoadBlockFloat(view_.get(), f); }

  fs::path base_, app_, tree_;
  int runs_ = 0;
  ostrel::win::unique_handle section_;
  ostrel::win::unique_mapped_view view_;
};

TEST_F(HwmonEndToEnd, RyzenDesktop) {
  fake_sysfs::RyzenDesktop(tree_);
  HoldBlock();
  const std::string out = Run(L"sensors");
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
  const std::string unix_path = UnixPath(tree_);
  if (unix_path.empty()) GTEST_SKIP() << "not under Wine";
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", ostrel::win::Widen(unix_path).c_str());
  HoldBlock();
  const std::string out = Run(L"sensors");
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
  const std::string out = Run(L"sensors");
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

  // A sample script beside the library stands in for the machine.
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", nullptr);
  fs::copy_file(sensors_test::BuildDir() / "bin" / "sensors.txt", app_ / "sensors.txt");
  out = Run(L"sources");
  EXPECT_NE(out.find("sensors.txt (sensors.txt lies beside the library)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  hwmon                  absent  not looked for: the sensor script stands in"),
            std::string::npos)
      << out;
  out = Run(L"sensors");
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
