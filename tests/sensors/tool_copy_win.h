// ostrelctl copied out of <build>/bin into a folder of its own, as a user
// unzips it (no sensors.txt beside the library), run with its output
// captured; the hardware block held by the test process with other contents.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "common/win/text.h"
#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"
#include "tests/app/test_process_win.h"
#include "tests/sensors/build_paths_win.h"

namespace sensors_test {

using namespace ostrel::sensors;
namespace fs = std::filesystem;

// Wine's kernel32 turns a Windows path into the host's; nothing on Windows.
inline std::string UnixPath(const fs::path& path) {
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

class ToolCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("ostrel-tool-" + std::to_string(::GetCurrentProcessId()));
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
    const auto run = ostrel::app::testing::RunCaptured(app_ / "ostrelctl.exe", arguments,
                                                       {.limit = std::chrono::seconds(30)});
    if (!run.started) {
      ADD_FAILURE() << "cannot start ostrelctl";
      return {};
    }
    EXPECT_TRUE(run.ended) << "ostrelctl still running after 30 s";
    std::string text = ostrel::app::testing::UnixLineEnds(run.output);
    EXPECT_EQ(run.exit_code, expected_exit) << text;
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
  ostrel::win::unique_handle section_;
  ostrel::win::unique_mapped_view view_;
};

}  // namespace sensors_test
