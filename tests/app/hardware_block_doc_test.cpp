// The documented reader of the hardware block, built from the page's example
// file, against Ostrel.exe running from a copy of <build>/bin with scripted
// sensors.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/app/ostrel_run_win.h"
#include "tests/app/test_process_win.h"

namespace ostrel::app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path StageBin(const fs::path& stage) {
  fs::remove_all(stage);
  testing::CopyTree(testing::BuildFolder() / "bin", stage);
  return stage;
}

TEST(HardwareBlockDoc, TheDocumentedExampleReadsTheRunningProgramsTemperatures) {
  const fs::path run = testing::ExecutableFolder() / "app-run" / "block-doc";
  const fs::path stage = StageBin(run / "stage");
  const fs::path script = run / "sensors.txt";
  std::ofstream(script, std::ios::binary) << "hardware processor Test CPU\n"
                                             "temperature 0 47.5 CPU Package\n"
                                             "hardware gpu NVIDIA GeForce RTX 3060\n"
                                             "temperature 0 61.5 GPU Temperature\n"
                                             "hardware gpu Intel UHD Graphics 770\n"
                                             "temperature 0 44 GPU Temperature\n"
                                             "hardware mainboard Test Board\n"
                                             "temperature 0 33.5 Motherboard\n";
  ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", script.wstring().c_str());
  ::SetEnvironmentVariableW(L"OSTREL_UPDATE_SERVER", L"http://127.0.0.1:1");
  const fs::path reader = testing::ExecutableFolder() / "read_hardware_block.exe";

  testing::ChildProcess job(stage / "Ostrel.exe", L"");
  ASSERT_TRUE(job.Started());
  const HWND panel = testing::OstrelRun::WaitForPanel(job);
  ASSERT_NE(panel, nullptr);
  testing::CapturedRun read;
  const auto end = std::chrono::steady_clock::now() + 10s;
  do {
    std::this_thread::sleep_for(100ms);
    read = testing::RunCaptured(reader, L"");
  } while (read.output.find("CPU 47.5") == std::string::npos && std::chrono::steady_clock::now() < end);

  EXPECT_EQ(read.exit_code, 0u) << read.output;
  // Text-mode stdout: CR LF line ends.
  EXPECT_EQ(read.output,
            "CPU 47.5\r\n"
            "GPU (dedicated) 61.5\r\n"
            "GPU (integrated) 0.0\r\n"
            "Mainboard 33.5\r\n");
  ::PostMessageW(panel, WM_COMMAND, 100, 0);
  EXPECT_EQ(job.WaitExit(15s), 0u);

  // With the program gone nobody holds the block: the example says so.
  const testing::CapturedRun after = testing::RunCaptured(reader, L"");
  EXPECT_EQ(after.exit_code, 1u) << after.output;
  EXPECT_NE(after.output.find("is Ostrel running?"), std::string::npos) << after.output;
  ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", nullptr);
}

}  // namespace
}  // namespace ostrel::app
