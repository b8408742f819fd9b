// ostrelctl as a user runs it: the files of <build>/bin staged in a folder of
// their own with the display simulator as hidapi.dll and a scripted sensor
// library, started as a separate Windows process.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/test_process_win.h"
#include "tests/device/sim_session.h"

namespace ostrel::device {
namespace {

namespace fs = std::filesystem;
using app::testing::CapturedRun;
using app::testing::RunCaptured;
using testing::SimSession;

class DeviceEndToEndTest : public ::testing::Test {
 protected:
  // Everything a user unzips, with the simulator in place of hidapi.dll.
  fs::path Stage(const SimSession& sim) {
    const fs::path bin = testing::ExecutableFolder().parent_path().parent_path() / "bin";
    const fs::path stage = sim.Folder() / "stage";
    app::testing::CopyTree(bin, stage);
    ::CopyFileW((testing::ExecutableFolder() / "hidapi.dll").wstring().c_str(),
                (stage / "hidapi.dll").wstring().c_str(), FALSE);
    return stage;
  }

  void Script(const SimSession& sim, const std::string& text) {
    const fs::path script = sim.Folder() / "sensors.txt";
    std::ofstream(script, std::ios::binary) << text;
    ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", script.wstring().c_str());
  }

  static std::vector<std::uint8_t> Head(const testing::SimEvent& send) {
    const auto bytes = SimSession::Bytes(send);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6);
  }
};

constexpr char kTwoDisplays[] =
    "[left]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\nproduct = Cooler Display\ninterfaces = 0001:6 FF01:1\n"
    "firmware = 0x010A\n"
    "[right]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\nproduct = Cooler Display\nfirmware = 0x0200\n";

TEST_F(DeviceEndToEndTest, RunSendsTheScriptedCpuTemperatureEverySecond) {
  SimSession sim("[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\ninterfaces = 0001:6 FF01:1 000C:1\n");
  Script(sim,
         "hardware processor Test CPU\n"
         "temperature 0 steps(45.9,71.2,123.4,-5) CPU Package\n"
         "hardware gpu NVIDIA GeForce RTX 3060\n"
         "temperature 0 60 GPU Temperature\n");
  const fs::path stage = Stage(sim);
  const CapturedRun run = RunCaptured(stage / "ostrelctl.exe", L"run --seconds 3");
  EXPECT_EQ(run.exit_code, 0u) << run.output;
  EXPECT_NE(run.output.find("displays: 1"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("CPU 45"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("stopped after"), std::string::npos) << run.output;

  const auto sends = sim.Events("send_feature");
  ASSERT_GE(sends.size(), 2u) << run.output;
  ASSERT_LE(sends.size(), 4u);
  const std::vector<std::vector<std::uint8_t>> expected = {{0x07, 0xFF, 0xFF, 0, 4, 5},
                                                           {0x07, 0xFF, 0xFF, 0, 7, 1},
                                                           {0x07, 0xFF, 0xFF, 0, 9, 9},
                                                           {0x07, 0xFF, 0xFF, 0, 0, 0}};
  for (std::size_t i = 0; i < sends.size(); ++i) {
    EXPECT_EQ(sends[i].where(), "display 1");
    EXPECT_EQ(sends[i].words[3], "65");
    EXPECT_EQ(SimSession::Bytes(sends[i]).size(), 65u);
    EXPECT_EQ(Head(sends[i]), expected[i]) << "report " << i;
  }
}

TEST_F(DeviceEndToEndTest, SendReachesEveryDisplay) {
  SimSession sim(kTwoDisplays);
  const fs::path stage = Stage(sim);
  const CapturedRun send = RunCaptured(stage / "ostrelctl.exe", L"send 45.9");
  EXPECT_EQ(send.exit_code, 0u) << send.output;
  EXPECT_NE(send.output.find("07 FF FF 00 04 05 sent to 2 display(s)"), std::string::npos) << send.output;
  const auto sends = sim.Events("send_feature");
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].where(), "left 1");
  EXPECT_EQ(sends[1].where(), "right 0");
  for (const auto& s : sends) EXPECT_EQ(Head(s), (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 4, 5}));

  EXPECT_EQ(RunCaptured(stage / "ostrelctl.exe", L"send warm").exit_code, 2u);
}

TEST_F(DeviceEndToEndTest, DevicesListsEveryDisplayAndTheFirstOnesFirmware) {
  SimSession sim(kTwoDisplays);
  const fs::path stage = Stage(sim);
  const CapturedRun devices = RunCaptured(stage / "ostrelctl.exe", L"devices");
  EXPECT_EQ(devices.exit_code, 0u) << devices.output;
  EXPECT_NE(devices.output.find("displays: 2"), std::string::npos) << devices.output;
  EXPECT_NE(devices.output.find("0  \\\\?\\hid#vid_1a2c&pid_4f84&mi_01#"), std::string::npos)
      << devices.output;
  EXPECT_NE(devices.output.find("\"Cooler Display\"  release 0x0100"), std::string::npos) << devices.output;
  EXPECT_NE(devices.output.find("firmware of display 0: 0x010A (266)"), std::string::npos) << devices.output;
  EXPECT_EQ(sim.Events("get_feature").size(), 1u);
}

// Displays that refuse or vanish: `send` and `devices` say so instead of
// claiming success, and `run` notices a display that stops taking reports,
// says so, and serves it again once it is back, with no device notification.
TEST_F(DeviceEndToEndTest, AFailingDisplayIsToldAndServedAgainWhenBack) {
  constexpr char kDisplay[] = "[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\n";
  SimSession sim(std::string(kDisplay) + "send_fails = yes\n");
  const fs::path stage = Stage(sim);
  const fs::path ctl = stage / "ostrelctl.exe";

  const CapturedRun refused = RunCaptured(ctl, L"send 45");
  EXPECT_EQ(refused.exit_code, 1u) << refused.output;
  EXPECT_NE(refused.output.find("sent to 0 display(s), refused by 1"), std::string::npos) << refused.output;

  sim.Reconfigure(std::string(kDisplay) + "read_fails = yes\n");
  const CapturedRun unread = RunCaptured(ctl, L"devices");
  EXPECT_NE(unread.output.find("firmware of display 0: no answer"), std::string::npos) << unread.output;
  sim.Reconfigure(std::string(kDisplay) + "wrong_first_replies = 2\n");
  const CapturedRun wrong = RunCaptured(ctl, L"devices");
  EXPECT_NE(wrong.output.find("firmware of display 0: no answer"), std::string::npos) << wrong.output;

  // Taken away after two reports and plugged in again 3 s later, silently.
  constexpr auto kAway = std::chrono::milliseconds(3000);
  sim.Reconfigure(std::string(kDisplay) + "disappear_after = 2\nreappear_after_ms = 3000\n");
  using Clock = std::chrono::steady_clock;
  std::atomic<bool> running{true};
  std::optional<Clock::time_point> gone;
  std::optional<Clock::time_point> served;
  std::thread watcher([&] {
    while (running.load() && !served) {
      const auto now = Clock::now();
      const auto events = sim.Events();
      bool after_gone = false;
      for (const auto& event : events) {
        if (event.kind() == "gone") after_gone = true;
        if (after_gone && event.kind() == "send_feature") served = now;
      }
      if (after_gone && !gone) gone = now;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const CapturedRun run = RunCaptured(ctl, L"run --seconds 18");
  running = false;
  watcher.join();
  EXPECT_EQ(run.exit_code, 0u) << run.output;
  EXPECT_NE(run.output.find("display failed: 1 display(s) refused the report"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("display reopened: 1 open"), std::string::npos) << run.output;
  ASSERT_TRUE(gone) << run.output;
  ASSERT_TRUE(served) << "never served again\n" << run.output;
  const double back_to_served = std::chrono::duration<double>(*served - *gone - kAway).count();
  std::printf("display back -> served again: %.2f s\n", back_to_served);
  RecordProperty("back_to_served_seconds", std::to_string(back_to_served));
  EXPECT_LT(back_to_served, 12.0);
}

}  // namespace
}  // namespace ostrel::device
