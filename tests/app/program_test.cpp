// Ostrel.exe black-box under Wine: start-up, a second start, the other
// monitor process, "Exit", and bad input (settings, skin files) that must
// never stop the reports.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/app/ostrel_run_win.h"
#include "ui/panel_layout.h"

namespace ostrel::app {
namespace {

using namespace testing;

const std::vector<std::uint8_t> kShows45 = {0x07, 0xFF, 0xFF, 0, 4, 5};

std::vector<std::uint8_t> Head(const std::vector<std::uint8_t>& report) {
  return std::vector<std::uint8_t>(report.begin(), report.begin() + std::min<std::size_t>(6, report.size()));
}

ChildProcess StartMonitor(const fs::path& folder, const std::wstring& name) {
  fs::create_directories(folder);
  const fs::path exe = folder / name;
  ::CopyFileW((BuildFolder() / "sim" / "app" / "OpenHardwareMonitorServer.exe").wstring().c_str(),
              exe.wstring().c_str(), FALSE);
  return ChildProcess(exe, L"");
}

// "Exit" from the tray menu: the process ends with 0.
void Exit(HWND panel, const ChildProcess& program) {
  ::PostMessageW(panel, WM_COMMAND, 100, 0);
  EXPECT_EQ(program.WaitExit(10s), 0u) << "WM_COMMAND 100 ends the program with 0";
}

TEST(OstrelProgram, StartsAsThePanelSendsAtOnceStaysSingleAndExitsWithZero) {
  ClearSettings();
  OstrelRun run;
  ChildProcess first_monitor = StartMonitor(run.Sim().Folder() / "a", L"OpenHardwareMonitorServer.exe");
  ChildProcess second_monitor = StartMonitor(run.Sim().Folder() / "b", L"OPENHARDWAREMONITORSERVER.exe");
  ASSERT_TRUE(first_monitor.Running() && second_monitor.Running());

  const auto launched = std::chrono::steady_clock::now();
  ChildProcess program = run.Start();
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitFor([&] { return !run.Reports().empty() || !program.Running(); }, 10s));
  const auto first_report = std::chrono::steady_clock::now() - launched;
  EXPECT_LT(first_report, 3s) << "first report after "
                              << std::chrono::duration_cast<std::chrono::milliseconds>(first_report).count()
                              << " ms";
  EXPECT_EQ(Head(run.Reports().at(0)), kShows45);

  const HWND panel = OstrelRun::WaitForPanel(program);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(::GetPropW(panel, L"TEMP"), reinterpret_cast<HANDLE>(1));
  RECT rect{};
  ::GetWindowRect(panel, &rect);
  const RECT work = WorkArea();
  EXPECT_EQ(rect.right, work.right - 3);
  EXPECT_EQ(rect.bottom, work.bottom - 3);
  EXPECT_EQ(rect.right - rect.left, 340);
  EXPECT_EQ(rect.bottom - rect.top, 250);
  EXPECT_TRUE(::IsWindowVisible(panel));
  const LONG_PTR ex = ::GetWindowLongPtrW(panel, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_EQ(ReadSettingText(L"led_switch"), L"1") << "a first start stores the LED switch as on";

  EXPECT_NE(first_monitor.Running(), second_monitor.Running()) << "exactly one monitor process is ended";
  const ChildProcess& survivor = first_monitor.Running() ? first_monitor : second_monitor;

  // A second start leaves within 3 s with 0; the first goes on sending.
  const auto second_launched = std::chrono::steady_clock::now();
  ChildProcess second = run.Start();
  EXPECT_EQ(second.WaitExit(10s), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - second_launched, 3s);
  EXPECT_EQ(CountPanels(), 1);
  const std::size_t before = run.Reports().size();
  EXPECT_TRUE(WaitFor([&] { return run.Reports().size() >= before + 2; }, 5s))
      << "the first instance keeps sending";
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(survivor.Running()) << "the second start ends nothing";

  // Moved away, the panel goes back to the corner when the one-shot tray
  // refresh fires, 10 s after start.
  ::SetWindowPos(panel, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT moved{};
  ::GetWindowRect(panel, &moved);
  EXPECT_EQ(moved.left, 20) << "moved away first";
  EXPECT_TRUE(WaitFor(
      [&] {
        RECT now{};
        ::GetWindowRect(panel, &now);
        return now.left == rect.left && now.top == rect.top;
      },
      std::chrono::duration_cast<std::chrono::milliseconds>(launched + 15s -
                                                            std::chrono::steady_clock::now())));

  Exit(panel, program);
  EXPECT_TRUE(survivor.Running()) << "Exit skips the shutdown steps, so no second monitor is ended";
}

// Each run: start with these stored settings, the panel appears, reports go
// out, "led_switch" reads back as expected, and Exit still answers.
struct Stored {
  const wchar_t* name;
  DWORD type;
  std::vector<std::uint8_t> data;
  const wchar_t* led_after;
};

std::vector<std::uint8_t> Text(const std::wstring& text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
  return std::vector<std::uint8_t>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

TEST(OstrelProgram, StoredSettingsOfAnyShapeNeverStopThePanel) {
  const DWORD dword = 1;
  const std::vector<std::vector<Stored>> cases = {
      // A stored 0 is turned back into 1; a huge number, a negative one.
      {{L"led_switch", REG_SZ, Text(L"0"), L"1"},
       {L"tempe_type", REG_SZ, Text(L"99999999999999999999999"), nullptr},
       {L"device_type", REG_SZ, Text(L"-2147483649"), nullptr}},
      // Non-numeric text reads as 0; other value types; data longer than the
      // read buffer.
      {{L"led_switch", REG_SZ, Text(L"on"), L"1"},
       {L"tempe_type", REG_DWORD,
        std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(&dword),
                                  reinterpret_cast<const std::uint8_t*>(&dword) + 4),
        nullptr},
       {L"device_type", REG_SZ, Text(std::wstring(2000, L'7')), nullptr}},
      {{L"led_switch", REG_SZ, Text(L"-3"), L"-3"},
       {L"tempe_type", REG_BINARY, std::vector<std::uint8_t>(4096, 0xFF), nullptr},
       {L"device_type", REG_MULTI_SZ, Text(L"1"), nullptr}},
  };
  for (const auto& values : cases) {
    ClearSettings();
    for (const auto& v : values)
      StoreSetting(v.name, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    OstrelRun run;
    ChildProcess program = run.Start();
    const HWND panel = OstrelRun::WaitForPanel(program);
    ASSERT_NE(panel, nullptr) << "case with led_switch " << values[0].led_after;
    EXPECT_TRUE(WaitFor([&] { return !run.Reports().empty(); }, 10s));
    EXPECT_EQ(ReadSettingText(L"led_switch"), values[0].led_after);
    Exit(panel, program);
  }
  ClearSettings();
}

TEST(OstrelProgram, MissingEmptyOrCorruptSkinFilesStillGiveAPanelAndReports) {
  const std::vector<std::string> kinds = {"missing", "empty", "corrupt"};
  for (const auto& kind : kinds) {
    ClearSettings();
    OstrelRun run;
    const fs::path skin = run.Stage() / "skins" / "theme1";
    for (const auto& entry : fs::directory_iterator(skin)) {
      if (kind == "missing") {
        fs::remove(entry.path());
      } else if (kind == "empty") {
        std::ofstream(entry.path(), std::ios::trunc);
      } else {
        // A PNG signature followed by noise, and an icon header that lies.
        std::ofstream out(entry.path(), std::ios::binary | std::ios::trunc);
        out << "\x89PNG\r\n\x1a\n" << std::string(512, '\x5a');
      }
    }
    ChildProcess program = run.Start();
    const HWND panel = OstrelRun::WaitForPanel(program);
    ASSERT_NE(panel, nullptr) << kind;
    EXPECT_TRUE(WaitFor([&] { return !run.Reports().empty(); }, 10s)) << kind;
    // The panel still answers: hidden by a click on the close button and
    // shown again from the tray.
    ::PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 30));
    ::PostMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(300, 30));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(panel); }, 5s)) << kind;
    ::PostMessageW(panel, 0x69A, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(panel) != FALSE; }, 5s)) << kind;
    const std::size_t before = run.Reports().size();
    EXPECT_TRUE(WaitFor([&] { return run.Reports().size() > before; }, 5s)) << kind;
    Exit(panel, program);
  }
}

}  // namespace
}  // namespace ostrel::app
