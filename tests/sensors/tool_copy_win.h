// ostrelctl copied out of <build>/bin into a folder of its own, as a user
// unzips it (no sensors.txt beside the library), run with its output in a
// file; the hardware block held by the test process with other contents.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/win/text.h"
#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"
#include "tests/sensors/build_paths_win.h"

namespace sensors_test {

using namespace ostrel::sensors;
namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& path) {
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

}  // namespace sensors_test
