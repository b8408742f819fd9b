// The panel of a running Ostrel.exe, on the screen's pixels: hidden by its
// close button and brought back to the corner from the tray, the background
// that "tempe_type" selects, digits that follow the temperature, and the
// update answer in a message box; its tray icon, restored after the shell
// restarts, and the tray menu.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/win/unique_any.h"
#include "tests/app/ostrel_run_win.h"
#include "tests/sensors/fake_sysfs.h"
#include "tests/sensors/hwinfo_layout.h"

namespace ostrel::ui {
namespace {

using namespace app::testing;

// Where the large digits are drawn, in panel coordinates.
constexpr RECT kDigits{115, 100, 235, 160};
// The digits' ink, left of the degree sign.
constexpr RECT kDigitInk{120, 100, 215, 160};
// Away from the digits, the close button and the scale's mark.
constexpr RECT kBackground{10, 208, 330, 245};
// Where the two looks differ most: the bar against the gauge's foot.
constexpr RECT kLookRegion{10, 170, 330, 245};

int LastShown(const OstrelRun& run) {
  const auto reports = run.Reports();
  if (reports.empty()) return -1;
  const auto& r = reports.back();
  return r[3] * 100 + r[4] * 10 + r[5];
}

// The panel once the display was sent `value`, with a moment for the paint.
Shot PanelShowing(const OstrelRun& run, HWND panel, int value) {
  EXPECT_TRUE(WaitFor([&] { return LastShown(run) == value; }, 15s)) << "value " << value;
  std::this_thread::sleep_for(500ms);
  return GrabWindow(panel);
}

// The panel as soon as it shows what `shows` looks for (a loaded machine
// may take a moment past the report to paint), or as it is after 5 s.
Shot ShotWhen(HWND panel, const std::function<bool(const Shot&)>& shows) {
  Shot shot = GrabWindow(panel);
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (!shows(shot) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(100ms);
    shot = GrabWindow(panel);
  }
  return shot;
}

int Brightest(const Shot& shot, int x, int y) {
  const std::uint32_t p = shot.At(x, y);
  return static_cast<int>(std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF}));
}
bool Light(const Shot& shot, int x, int y) {
  const std::uint32_t p = shot.At(x, y);
  return ((p >> 16) & 0xFF) >= 0xD8 && ((p >> 8) & 0xFF) >= 0xD8 && (p & 0xFF) >= 0xD8;
}

// Columns above the first look's bar (y 194 to 200) where its marker shows.
std::vector<int> MarkedColumns(const Shot& shot) {
  std::vector<int> columns;
  for (int x = 20; x < 320; ++x) {
    if (Light(shot, x, 191)) columns.push_back(x);
  }
  return columns;
}

// A point on the second look's gauge arc (radius 72 around (175, 130), from
// 135 degrees clockwise over 270), `fraction` of the way from 0 to 100.
POINT OnGauge(double fraction) {
  const double angle = (135.0 + 270.0 * fraction) * 3.14159265358979 / 180.0;
  return {static_cast<LONG>(std::lround(175 + 72 * std::cos(angle))),
          static_cast<LONG>(std::lround(130 + 72 * std::sin(angle)))};
}
bool GaugeFilledAt(const Shot& shot, double fraction) {
  const POINT p = OnGauge(fraction);
  return Brightest(shot, p.x, p.y) >= 0xA0;
}
bool GaugeFaintAt(const Shot& shot, double fraction) {
  const POINT p = OnGauge(fraction);
  return Brightest(shot, p.x, p.y) < 0x80;
}

TEST(Panel, CloseHidesTrayBringsBackDigitsFollowAndTempeTypeSwitchesTheLook) {
  ClearSettings();
  OstrelRun run(kOneDisplay,
                "hardware processor Test CPU\n"
                "temperature 0 steps(45,45,45,45,88,88,88,88,88,88,88,88,88,88,88,88,88,88) CPU Package\n");
  ChildProcess program = run.Start();
  const HWND panel = OstrelRun::WaitForPanel(program);
  ASSERT_NE(panel, nullptr);
  RECT home{};
  ::GetWindowRect(panel, &home);

  const Shot at45 = PanelShowing(run, panel, 45);
  const Shot at88 = PanelShowing(run, panel, 88);
  EXPECT_GT(CountDiffering(at45, at88, kDigits), 100) << "the digits change with the temperature";
  EXPECT_EQ(CountDiffering(at45, at88, kBackground), 0) << "nothing else does";

  // The close button hides the panel; a click elsewhere does not.
  ::PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 200));
  ::PostMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(100, 200));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(::IsWindowVisible(panel));
  ::PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 30));
  ::PostMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(300, 30));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(panel); }, 5s));

  // Moved away while hidden, the tray's left click shows it at the corner.
  ::SetWindowPos(panel, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::PostMessageW(panel, 0x69A, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(panel) != FALSE; }, 5s));
  RECT back{};
  EXPECT_TRUE(WaitFor(
      [&] {
        ::GetWindowRect(panel, &back);
        return back.left == home.left && back.top == home.top;
      },
      5s));
  EXPECT_EQ(back.right - back.left, 340);
  // Other tray messages (download progress shares the number) do nothing.
  ::PostMessageW(panel, 0x69A, 0, 50);
  ::PostMessageW(panel, 0x69A, 0, WM_MOUSEMOVE);

  // The update answer: the program's own box, then back to work.
  ::PostMessageW(panel, 0x69C, 1, 0);
  HWND box = nullptr;
  ASSERT_TRUE(
      WaitFor([&] { return (box = FindProcessWindow(program.Id(), L"MessageBox")) != nullptr; }, 10s));
  std::this_thread::sleep_for(300ms);
  POINT ok{190, 175};
  ::ClientToScreen(box, &ok);
  ::SetCursorPos(ok.x, ok.y);
  ::PostMessageW(box, WM_MOUSEMOVE, 0, MAKELPARAM(190, 175));
  std::this_thread::sleep_for(100ms);
  ::PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(190, 175));
  std::this_thread::sleep_for(100ms);
  ::PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(190, 175));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); }, 10s)) << "OK closes the box";
  const std::size_t before = run.Reports().size();
  EXPECT_TRUE(WaitFor([&] { return run.Reports().size() > before; }, 5s));

  // Resume from sleep queues a rescan: the display is opened afresh.
  const auto opens = [&] { return run.Sim().Events("open").size(); };
  const std::size_t opened = opens();
  ::PostMessageW(panel, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_TRUE(WaitFor([&] { return opens() > opened; }, 5s));

  ::PostMessageW(panel, WM_COMMAND, 100, 0);
  EXPECT_EQ(program.WaitExit(10s), 0u);

  // The other look: same temperature, another background.
  StoreSetting(L"tempe_type", L"1");
  OstrelRun other(kOneDisplay);
  ChildProcess second = other.Start();
  const HWND second_panel = OstrelRun::WaitForPanel(second);
  ASSERT_NE(second_panel, nullptr);
  const Shot type1 = PanelShowing(other, second_panel, 45);
  EXPECT_GT(CountDiffering(at45, type1, kLookRegion), 2000) << "tempe_type 1 shows the other background";
  EXPECT_TRUE(MarkedColumns(type1).empty()) << "the gauge look has no bar marker";
  // The gauge's arc is filled from its start up to the shown value, with a
  // light knob at the filled end; beyond it the track stays faint.
  other.Script("hardware processor Test CPU\ntemperature 0 50 CPU Package\n");
  const auto knob_at = [&](double fraction) {
    return [fraction](const Shot& s) { return Light(s, OnGauge(fraction).x, OnGauge(fraction).y); };
  };
  EXPECT_TRUE(WaitFor([&] { return LastShown(other) == 50; }, 15s));
  const Shot gauge50 = ShotWhen(second_panel, knob_at(0.5));
  EXPECT_TRUE(GaugeFilledAt(gauge50, 0.25));
  EXPECT_TRUE(Light(gauge50, OnGauge(0.5).x, OnGauge(0.5).y)) << "knob at 50";
  EXPECT_TRUE(GaugeFaintAt(gauge50, 0.75));
  other.Script("hardware processor Test CPU\ntemperature 0 99 CPU Package\n");
  EXPECT_TRUE(WaitFor([&] { return LastShown(other) == 99; }, 15s));
  const Shot gauge99 = ShotWhen(second_panel, knob_at(0.99));
  EXPECT_TRUE(GaugeFilledAt(gauge99, 0.25));
  EXPECT_TRUE(GaugeFilledAt(gauge99, 0.75));
  EXPECT_TRUE(Light(gauge99, OnGauge(0.99).x, OnGauge(0.99).y)) << "knob at 99, on the arc";
  EXPECT_EQ(CountDiffering(gauge50, gauge99, kBackground), 0) << "nothing below the gauge moves";
  other.Script("hardware processor Test CPU\ntemperature 0 0 CPU Package\n");
  EXPECT_TRUE(WaitFor([&] { return LastShown(other) == 0; }, 15s));
  const Shot gauge0 = ShotWhen(second_panel, knob_at(0.0));
  EXPECT_TRUE(Light(gauge0, OnGauge(0).x, OnGauge(0).y)) << "knob at 0, on the arc";
  EXPECT_TRUE(GaugeFaintAt(gauge0, 0.25));
  EXPECT_TRUE(GaugeFaintAt(gauge0, 0.5));
  ::PostMessageW(second_panel, WM_COMMAND, 100, 0);
  EXPECT_EQ(second.WaitExit(10s), 0u);
  ClearSettings();
}

// Rows of `region` holding the digits' white ink (the background and the
// degree sign are darker).
int InkHeight(const Shot& shot, const RECT& region) {
  int top = region.bottom;
  int bottom = region.top;
  for (int y = region.top; y < region.bottom; ++y) {
    for (int x = region.left; x < region.right; ++x) {
      const std::uint32_t p = shot.At(x, y);
      if (((p >> 16) & 0xFF) >= 0xE8 && ((p >> 8) & 0xFF) >= 0xE8 && (p & 0xFF) >= 0xE8) {
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
    }
  }
  return bottom > top ? bottom - top : 0;
}

float BlockCpu() {
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, L"brovan_hardware_mapfile");
  if (!mapping) return -1.0f;
  float value = -1.0f;
  if (const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 632)) {
    std::memcpy(&value, static_cast<const char*>(view) + 152, sizeof value);
    ::UnmapViewOfFile(view);
  }
  ::CloseHandle(mapping);
  return value;
}

// A machine whose sensors name no processor temperature: the panel says so
// with "--" instead of a 0 that passes for a reading, while the display
// still gets 0 0 0; the moment one appears, the panel, the display and the
// block show it. The panel is layered from the moment it first shows, so no
// plain unskinned window ever reaches the screen.
TEST(Panel, DashesUntilACpuTemperatureIsFoundAndLayeredFromItsFirstAppearance) {
  ClearSettings();
  OstrelRun run(kOneDisplay, "hardware mainboard Test Board\ntemperature 0 33 Motherboard\n");
  ChildProcess program = run.Start();
  HWND panel = nullptr;
  LONG_PTR first_style = 0;
  const auto end = std::chrono::steady_clock::now() + 15s;
  while (std::chrono::steady_clock::now() < end && program.Running()) {
    panel = FindProcessWindow(program.Id(), L"TEMP");
    if (panel && ::IsWindowVisible(panel)) {
      first_style = ::GetWindowLongPtrW(panel, GWL_EXSTYLE);
      break;
    }
  }
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(first_style & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), WS_EX_LAYERED | WS_EX_TOOLWINDOW)
      << std::hex << first_style;
  EXPECT_EQ(::GetWindowLongPtrW(panel, GWL_STYLE) & 0xFFFF0000, 0x96000000) << "the final style";

  ASSERT_TRUE(WaitFor([&] { return run.Reports().size() >= 2; }, 15s));
  const auto report = run.Reports().back();
  EXPECT_EQ(std::vector<std::uint8_t>(report.begin() + 3, report.begin() + 6),
            (std::vector<std::uint8_t>{0, 0, 0}));
  std::this_thread::sleep_for(300ms);
  const Shot dashes = GrabWindow(panel);
  const int dash_height = InkHeight(dashes, kDigitInk);
  EXPECT_GT(dash_height, 0) << "something is drawn where the digits go";
  EXPECT_LT(dash_height, 12) << "a flat \"--\", not a digit";
  EXPECT_TRUE(MarkedColumns(dashes).empty()) << "no mark on the scale without a value";
  EXPECT_EQ(BlockCpu(), 0.0f);
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = panel;
  icon.uID = 109;
  EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &icon)) << "the icon is up, its tip saying why";
  ::PostMessageW(panel, 0x69A, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(panel) != FALSE; }, 5s));

  run.Script(
      "hardware mainboard Test Board\ntemperature 0 33 Motherboard\n"
      "hardware processor Test CPU\ntemperature 0 45 CPU Package\n");
  EXPECT_TRUE(WaitFor([&] { return LastShown(run) == 45; }, 15s));
  const Shot at45 = ShotWhen(panel, [](const Shot& s) { return InkHeight(s, kDigitInk) > 30; });
  EXPECT_GT(InkHeight(at45, kDigitInk), 30) << "digits replace the dashes";
  EXPECT_EQ(BlockCpu(), 45.0f);
  // The bar's marker: where the value lies, whole on the bar at both ends.
  const auto marked = [&](int value) {
    run.Script("hardware processor Test CPU\ntemperature 0 " + std::to_string(value) + " CPU Package\n");
    EXPECT_TRUE(WaitFor([&] { return LastShown(run) == value; }, 15s)) << value;
    const int x = 30 + 280 * value / 100;
    const std::vector<int> columns = MarkedColumns(ShotWhen(panel, [&](const Shot& s) {
      const std::vector<int> c = MarkedColumns(s);
      return !c.empty() && c.front() <= x + 4 && c.back() >= x - 4;
    }));
    return columns.empty() ? std::pair(-1, -1) : std::pair(columns.front(), columns.back());
  };
  const auto at50 = marked(50);
  EXPECT_LE(at50.first, 170);
  EXPECT_GE(at50.second, 170);
  EXPECT_LE(at50.second - at50.first, 8);
  const auto at99 = marked(99);
  EXPECT_GE(at99.first, 300);
  EXPECT_LE(at99.second, 309) << "inside the bar's right end (310)";
  const auto at0 = marked(0);
  EXPECT_GE(at0.first, 30) << "inside the bar's left end";
  EXPECT_LE(at0.second, 38);
  ::PostMessageW(panel, WM_COMMAND, 100, 0);
  EXPECT_EQ(program.WaitExit(10s), 0u);
  ClearSettings();
}

// HWiNFO started after the program and ended again, on a machine whose
// other sources (a Linux host's hwmon tree) have no processor temperature at
// first: "--", then HWiNFO's value within 15 s of its start, with no
// restart, then, once it ends, the next source's value. The display and the
// block follow the panel.
TEST(Panel, ASourceStartedLaterIsTakenUpAndOneThatEndsGivesWayToTheNext) {
  ClearSettings();
  OstrelRun run(kOneDisplay);
  const std::filesystem::path tree = run.Sim().Folder() / "host";
  std::filesystem::create_directories(tree / "sys" / "class" / "hwmon");
  fake_sysfs::Put(tree, "proc/stat", "cpu  100 0 0 900 0 0 0 0 0 0\n");
  fake_sysfs::Put(tree, "proc/cpuinfo", "processor\t: 0\nmodel name\t: AMD Ryzen 7 5800X\n\n");
  // The machine's own sources, not a script.
  ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", nullptr);
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", tree.wstring().c_str());
  ChildProcess program = run.Start();
  const auto started = std::chrono::steady_clock::now();
  const HWND panel = OstrelRun::WaitForPanel(program);
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", nullptr);
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(WaitFor([&] { return run.Reports().size() >= 2; }, 15s));
  EXPECT_EQ(LastShown(run), 0);
  std::this_thread::sleep_for(300ms);
  EXPECT_LT(InkHeight(GrabWindow(panel), kDigitInk), 12) << "\"--\" while no source has a CPU temperature";

  std::this_thread::sleep_for(started + 5s - std::chrono::steady_clock::now());
  win::unique_handle hwinfo(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64 * 1024,
                                                 L"Global\\HWiNFO_SENS_SM2"));
  ASSERT_TRUE(hwinfo);
  win::unique_mapped_view block(::MapViewOfFile(hwinfo.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_TRUE(block);
  const std::vector<std::byte> desktop = hwinfo_layout::Write(hwinfo_layout::Desktop());
  std::memcpy(block.get(), desktop.data(), desktop.size());
  const auto published = std::chrono::steady_clock::now();
  // HWiNFO's Ryzen: Tctl/Tdie 61.5.
  EXPECT_TRUE(WaitFor([&] { return LastShown(run) == 61; }, 16s));
  EXPECT_LT(std::chrono::steady_clock::now() - published, 16s) << "taken up within 15 s";
  const Shot with_hwinfo = ShotWhen(panel, [](const Shot& s) { return InkHeight(s, kDigitInk) > 30; });
  EXPECT_GT(InkHeight(with_hwinfo, kDigitInk), 30);
  EXPECT_EQ(BlockCpu(), 61.5f);

  // The host gains a processor chip; HWiNFO still comes first.
  fake_sysfs::Put(tree, "sys/class/hwmon/hwmon0/name", "k10temp\n");
  fake_sysfs::Put(tree, "sys/class/hwmon/hwmon0/temp1_input", "40000\n");
  fake_sysfs::Put(tree, "sys/class/hwmon/hwmon0/temp1_label", "Tctl\n");
  std::this_thread::sleep_for(6s);
  EXPECT_EQ(LastShown(run), 61);

  // HWiNFO ends: it marks its block and closes it.
  std::memcpy(block.get(), "DEAD", 4);
  block.reset();
  hwinfo.reset();
  const auto ended = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitFor([&] { return LastShown(run) == 40; }, 16s));
  EXPECT_LT(std::chrono::steady_clock::now() - ended, 16s) << "the next source within 15 s";
  const Shot with_hwmon =
      ShotWhen(panel, [&](const Shot& s) { return CountDiffering(with_hwinfo, s, kDigits) > 100; });
  EXPECT_GT(CountDiffering(with_hwinfo, with_hwmon, kDigits), 100);
  EXPECT_EQ(BlockCpu(), 40.0f);
  ::PostMessageW(panel, WM_COMMAND, 100, 0);
  EXPECT_EQ(program.WaitExit(10s), 0u);
  ClearSettings();
}

}  // namespace
}  // namespace ostrel::ui

namespace ostrel::ui {
namespace {

using namespace app::testing;

HWND FindMenuWindow(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (owner == s.pid && std::wstring(name) == L"#32768" && ::IsWindowVisible(window)) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(Panel, TrayMenuOpensOnRightClickAndItsLastItemExitsWithZero) {
  ClearSettings();
  OstrelRun run(
      "[left]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\n[right]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\n");
  ChildProcess program = run.Start();
  const HWND panel = OstrelRun::WaitForPanel(program);
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(WaitFor([&] { return run.Reports().size() >= 2; }, 10s)) << "both displays open";

  // A shell that restarts has lost the icon; its "TaskbarCreated"
  // broadcast makes the program add it again. The tray answers a change to
  // an icon only while it has one (id 109 on the panel window).
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = panel;
  icon.uID = 109;
  const auto has_icon = [&] { return ::Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE; };
  EXPECT_TRUE(has_icon());
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &icon));
  EXPECT_FALSE(has_icon());
  ::PostMessageW(panel, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitFor(has_icon, 5s)) << "the icon is back after TaskbarCreated";

  // The menu's texts live in the program's process, where Wine keeps
  // them out of reach of another process (GetMenuStringW answers nothing):
  // the items are checked by what choosing them does. Down, Return: the
  // first item, "Version: 1.0.1.1", closes the menu and nothing else.
  const auto open_menu = [&] {
    ::PostMessageW(panel, 0x69A, 0, WM_RBUTTONUP);
    HWND menu_window = nullptr;
    WaitFor([&] { return (menu_window = FindMenuWindow(program.Id())) != nullptr; }, 5s);
    return menu_window;
  };
  HWND menu_window = open_menu();
  ASSERT_NE(menu_window, nullptr) << "right button up on the tray icon opens the menu";
  const auto menu = reinterpret_cast<HMENU>(::SendMessageW(menu_window, 0x01E1 /* MN_GETHMENU */, 0, 0));
  EXPECT_NE(menu, nullptr);
  ::PostMessageW(menu_window, WM_KEYDOWN, VK_DOWN, 0);
  ::PostMessageW(menu_window, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(WaitFor([&] { return FindMenuWindow(program.Id()) == nullptr; }, 5s));
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(program.Running());
  // Up, Return: the last item, "Exit", ends the program with 0.
  menu_window = open_menu();
  ASSERT_NE(menu_window, nullptr);
  ::PostMessageW(menu_window, WM_KEYDOWN, VK_UP, 0);
  ::PostMessageW(menu_window, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(program.WaitExit(10s), 0u);
  ClearSettings();
}

}  // namespace
}  // namespace ostrel::ui
