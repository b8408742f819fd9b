// The library from bin, in this process, over a fake tree that changes
// between passes: a chip and a single file vanish, a chip appears, values
// turn to garbage and back. The program's own read pass runs over it each
// time. Files the library holds open cannot be deleted by a Windows process
// (under Wine as on Windows), so they are removed on the host's side, as the
// kernel removes a device's.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "common/win/unique_any.h"
#include "sensors/read_pass.h"
#include "tests/sensors/build_paths_win.h"
#include "tests/sensors/fake_sysfs.h"
#include "tests/sensors/tool_copy_win.h"

namespace {

using namespace ostrel::sensors;
namespace fs = std::filesystem;

class Quiet final : public TraceSink {
 public:
  void Write(std::string_view) noexcept override {}
};

class Check final : public PassObserver {
 public:
  void OnHardware(int, std::string_view name) noexcept override { names += std::string(name) + "|"; }
  void OnReading(const ObservedReading& r) noexcept override {
    if (!std::isfinite(r.value) || std::fabs(r.value) > 1e10) bad = true;
  }
  void OnPassEnd(const PassOutcome&) noexcept override {}
  std::string names;
  bool bad = false;
};

// Runs the host's rm on the file or folder and waits until it is gone.
bool RemoveOnHost(const fs::path& path) {
  const std::string unix_path = sensors_test::UnixPath(path);
  if (unix_path.empty()) return false;
  std::wstring command = L"Z:\\bin\\sh -c \"rm -rf '" + ostrel::win::Widen(unix_path) + L"'\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  // Wine does not wait for a host process: watch the path instead.
  for (int i = 0; i < 100; ++i) {
    if (::GetFileAttributesW(path.wstring().c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    ::Sleep(50);
  }
  return false;
}

class HwmonLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_ = fs::temp_directory_path() / ("ostrel-hotplug-" + std::to_string(::GetCurrentProcessId()));
    fs::remove_all(tree_);
    fake_sysfs::RyzenDesktop(tree_);
    ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", nullptr);
    ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", tree_.wstring().c_str());
    module_.reset(::LoadLibraryW((sensors_test::BuildDir() / "bin" / kLibraryFileName).wstring().c_str()));
    ASSERT_TRUE(module_);
    lib_ = ResolveEntryPoints([this](int ordinal) {
      return reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), MAKEINTRESOURCEA(ordinal)));
    });
    ASSERT_TRUE(lib_.Complete());
    ASSERT_EQ(lib_.init(kInitFlags), 0);
  }
  void TearDown() override {
    // SensorShutdown closes the tree's files, which Wine would not let this
    // process delete while open.
    if (lib_.entry398) lib_.entry398();
    ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", nullptr);
    std::error_code ignored;
    fs::remove_all(tree_, ignored);
  }

  // Passes until the condition holds (the list of chips and removed files
  // are looked at every fifth pass), at most ten.
  template <typename Condition>
  bool Within(Condition&& condition) {
    for (int pass = 0; pass < 10; ++pass) {
      Check check;
      Quiet quiet;
      last_ = RunReadPass(lib_, quiet, &check);
      names_ = check.names;
      EXPECT_FALSE(check.bad) << "a reading that is not a number reached the record";
      if (condition()) return true;
    }
    return false;
  }
  bool Found(ResultId id) const { return last_ && (*last_)[id].found; }
  float Value(ResultId id) const { return last_ ? (*last_)[id].value : -1; }
  std::string Hwmon(const std::string& rest) const { return "sys/class/hwmon/" + rest; }

  fs::path tree_;
  ostrel::win::unique_hmodule module_;
  EntryPoints lib_;
  std::optional<PassResults> last_;
  std::string names_;
};

TEST_F(HwmonLibrary, HotPlugAndGarbageBetweenPasses) {
  ASSERT_TRUE(Within([&] { return Found(ResultId::TctlTdie) && Found(ResultId::GpuDedicated); }));
  EXPECT_EQ(Value(ResultId::TctlTdie), 64.25f);

  // The card goes, then Tctl alone: the board chip's "CPU" stands in.
  if (sensors_test::UnixPath(tree_).empty()) GTEST_SKIP() << "not under Wine: no host to remove files on";
  ASSERT_TRUE(RemoveOnHost(tree_ / Hwmon("hwmon2")));
  EXPECT_TRUE(Within([&] { return !Found(ResultId::GpuDedicated); })) << names_;
  ASSERT_TRUE(RemoveOnHost(tree_ / Hwmon("hwmon1/temp1_input")));
  EXPECT_TRUE(Within([&] { return !Found(ResultId::TctlTdie); }));
  EXPECT_EQ(Value(ResultId::BoardCpu), 61.0f);
  EXPECT_EQ(Value(ResultId::ProcessorPackage), 0.0f);

  // An ACPI zone comes.
  fake_sysfs::Put(tree_, Hwmon("hwmon9/name"), "acpitz\n");
  fake_sysfs::Put(tree_, Hwmon("hwmon9/temp1_input"), "40000\n");
  EXPECT_TRUE(Within([&] { return names_.find("ACPI Thermal Zone") != std::string::npos; })) << names_;

  // Garbage: Tctl reads nothing, the board's own sensor "abc", its CPU
  // sensor a megabyte, an auxiliary one a driver's error value.
  fake_sysfs::Put(tree_, Hwmon("hwmon1/temp1_input"), "");
  fake_sysfs::Put(tree_, Hwmon("hwmon3/temp1_input"), "abc\n");
  fake_sysfs::Put(tree_, Hwmon("hwmon3/temp2_input"), std::string(1 << 20, '9'));
  fake_sysfs::Put(tree_, Hwmon("hwmon3/temp3_input"), "-999999999999\n");
  ASSERT_TRUE(Within([&] { return !Found(ResultId::BoardCpu); }));
  EXPECT_FALSE(Found(ResultId::TctlTdie));
  EXPECT_EQ(Value(ResultId::Mainboard), 40.0f) << names_;  // the ACPI zone, the chip's sensor being garbage

  // Everything comes back.
  fake_sysfs::RyzenDesktop(tree_);
  EXPECT_TRUE(Within([&] {
    return Value(ResultId::TctlTdie) == 64.25f && Value(ResultId::GpuDedicated) == 47.0f &&
           Value(ResultId::Mainboard) == 33.5f;
  }));
}

}  // namespace
