// Ostrel.exe as a user runs it, for black-box tests: <build>/bin copied into
// the test's own folder with the display simulator as hidapi.dll, scripted
// sensors, and the update server pointed at a closed loopback port. Finds
// the panel by its property, reads what the simulated display received and
// what the screen shows.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/test_process_win.h"
#include "tests/device/sim_session.h"

namespace ostrel::app::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline constexpr char kOneDisplay[] =
    "[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\ninterfaces = 0001:6 FF01:1\nfirmware = 0x010A\n";

// HKCU\SOFTWARE\TEMP, shared by every process of the prefix.
inline void ClearSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\TEMP"); }

inline void StoreSetting(const wchar_t* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TEMP", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    return;
  }
  ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(key);
}

inline void StoreSetting(const wchar_t* name, const std::wstring& text) {
  StoreSetting(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

inline std::wstring ReadSettingText(const wchar_t* name) {
  wchar_t buffer[256] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\TEMP", name, RRF_RT_ANY, &type, buffer, &size) !=
      ERROR_SUCCESS) {
    return L"<missing>";
  }
  return type == REG_SZ ? std::wstring(buffer) : L"<type " + std::to_wstring(type) + L">";
}

// The top-level window of process `pid` titled `title`, or null.
inline HWND FindProcessWindow(DWORD pid, const wchar_t* title) {
  struct Search {
    DWORD pid;
    const wchar_t* title;
    HWND found;
  } search{pid, title, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t text[64] = {};
        ::GetWindowTextW(window, text, 64);
        if (owner == s.pid && std::wstring(text) == s.title) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The program's message box once it is up and drawn, or null.
inline HWND WaitForMessageBox(DWORD pid, std::chrono::milliseconds limit = 15s) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindProcessWindow(pid, L"MessageBox")) != nullptr; }, limit);
  std::this_thread::sleep_for(400ms);
  return box;
}

// A click at client point (x, y) of `window`, delivered as its messages.
// The cursor goes there first: hover tracking asks where it is.
inline void ClickInWindow(HWND window, int x, int y) {
  POINT screen{x, y};
  ::ClientToScreen(window, &screen);
  ::SetCursorPos(screen.x, screen.y);
  ::PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  std::this_thread::sleep_for(100ms);
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  std::this_thread::sleep_for(100ms);
  ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Windows carrying the single-instance property "TEMP", any process.
inline int CountPanels() {
  int count = 0;
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        if (::GetPropW(window, L"TEMP")) ++*reinterpret_cast<int*>(data);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

inline RECT WorkArea() {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// What the screen shows of a rectangle, as 0x00RRGGBB pixels, row by row.
struct Shot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

inline Shot GrabScreen(const RECT& area) {
  Shot shot;
  shot.width = area.right - area.left;
  shot.height = area.bottom - area.top;
  shot.pixels.assign(static_cast<std::size_t>(shot.width) * shot.height, 0);
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY);
  ::GdiFlush();
  std::memcpy(shot.pixels.data(), bits, shot.pixels.size() * 4);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return shot;
}

inline Shot GrabWindow(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return GrabScreen(rect);
}

// Pixels of a region of `a` and `b` that differ by more than `tolerance` in
// some channel.
inline int CountDiffering(const Shot& a, const Shot& b, const RECT& region, int tolerance = 24) {
  int count = 0;
  for (int y = region.top; y < region.bottom; ++y) {
    for (int x = region.left; x < region.right; ++x) {
      const std::uint32_t p = a.At(x, y);
      const std::uint32_t q = b.At(x, y);
      for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF)) >
            tolerance) {
          ++count;
          break;
        }
      }
    }
  }
  return count;
}

class OstrelRun {
 public:
  // Stages a copy of <build>/bin under the test's folder; `edit_stage` may
  // change the copy (skin files) before anything starts.
  explicit OstrelRun(
      std::string_view display_config = kOneDisplay,
      const std::string& sensor_script = "hardware processor Test CPU\ntemperature 0 45 CPU Package\n")
      : sim_(display_config) {
    stage_ = sim_.Folder() / "stage";
    CopyTree(BuildFolder() / "bin", stage_);
    ::CopyFileW((BuildFolder() / "sim" / "hidsim" / "hidapi.dll").wstring().c_str(),
                (stage_ / "hidapi.dll").wstring().c_str(), FALSE);
    fs::remove(stage_ / "sensors.txt");
    Script(sensor_script);
    ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", (sim_.Folder() / "sensors.txt").wstring().c_str());
    // Nothing listens on port 1: the start-up checks fail at once.
    ::SetEnvironmentVariableW(L"OSTREL_UPDATE_SERVER", L"http://127.0.0.1:1");
  }

  void Script(const std::string& text) const {
    std::ofstream(sim_.Folder() / "sensors.txt", std::ios::binary | std::ios::trunc) << text;
  }

  const fs::path& Stage() const { return stage_; }
  const device::testing::SimSession& Sim() const { return sim_; }

  ChildProcess Start() const { return ChildProcess(stage_ / "Ostrel.exe", L""); }

  // The panel of `program`: titled "TEMP", owned by that process.
  static HWND WaitForPanel(const ChildProcess& program, std::chrono::milliseconds limit = 15s) {
    HWND panel = nullptr;
    WaitFor(
        [&] { return (panel = FindProcessWindow(program.Id(), L"TEMP")) != nullptr || !program.Running(); },
        limit);
    return panel;
  }

  // Temperature reports the simulated display accepted so far.
  std::vector<std::vector<std::uint8_t>> Reports() const {
    std::vector<std::vector<std::uint8_t>> reports;
    for (const auto& event : sim_.Events("send_feature")) reports.push_back(sim_.Bytes(event));
    return reports;
  }

 private:
  device::testing::SimSession sim_;
  fs::path stage_;
};

}  // namespace ostrel::app::testing
