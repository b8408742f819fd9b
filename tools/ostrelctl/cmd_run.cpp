// ostrelctl run [--seconds N] [--trace]: the program's job without the
// panel. The same worker as the main dialog's (start-up rescan, then one
// update step a second), with a message-only window for device arrival and
// removal. The sensor trace lines (a few per reading, every second) show only
// with --trace.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "common/win/window_handle.h"
#include "device/worker/console_worker.h"
#include "device/worker/device_watch.h"
#include "tools/ostrelctl/command.h"

namespace ostrelctl {
namespace {

// Set by Ctrl+C, Ctrl+Break and console close.
HANDLE g_stop = nullptr;

BOOL WINAPI OnConsoleSignal(DWORD) {
  ::SetEvent(g_stop);
  return TRUE;
}

class PrintedTemperature final : public ostrel::device::TemperatureView {
 public:
  void ShowCpuTemperature(int value) noexcept override {
    if (value == ostrel::device::kNoCpuTemperature) {
      std::printf("CPU --\n");
    } else {
      std::printf("CPU %d\n", value);
    }
  }
};

class PrintedDisplayStatus final : public ostrel::device::DisplayStatusView {
 public:
  void DisplaysFailed(int failed) noexcept override {
    std::printf("display failed: %d display(s) refused the report; rescanning\n", failed);
  }
  void DisplaysReopened(int open) noexcept override { std::printf("display reopened: %d open\n", open); }
};

LRESULT CALLBACK WatchProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DEVICECHANGE) {
    auto* worker =
        reinterpret_cast<ostrel::device::CThreadBasic*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (worker) return ostrel::device::HandleDeviceChange(wparam, lparam, *worker);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

using ostrel::win::unique_window;

unique_window CreateWatchWindow(ostrel::device::CThreadBasic& worker) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &WatchProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OstrelctlDeviceWatch";
  ::RegisterClassW(&wc);
  unique_window window(::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         wc.hInstance, nullptr));
  if (window) {
    ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&worker));
    ostrel::device::RegisterDeviceWatch(window.get());
  }
  return window;
}

class QuietTrace final : public ostrel::sensors::TraceSink {
 public:
  void Write(std::string_view) noexcept override {}
};

// 0 means until stopped; -1 for a bad command line.
long long ParseSeconds(Args args) {
  if (args.empty()) return 0;
  if (args.size() != 2 || args[0] != "--seconds") return -1;
  const std::string text(args[1]);
  char* end = nullptr;
  const long long seconds = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || end != text.c_str() + text.size() || seconds < 1 || seconds > 100LL * 365 * 24 * 3600) {
    return -1;
  }
  return seconds;
}

}  // namespace

int RunRun(Args all_args) {
  std::vector<std::string_view> args(all_args.begin(), all_args.end());
  const auto trace_flag = std::find(args.begin(), args.end(), "--trace");
  const bool trace = trace_flag != args.end();
  if (trace) args.erase(trace_flag);
  const long long seconds = ParseSeconds(args);
  if (seconds < 0) {
    std::fprintf(stderr,
                 "usage: ostrelctl run [--seconds N] [--trace]   (N a whole number of seconds, 1 or more)\n");
    return 2;
  }
  const ostrel::win::unique_handle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  g_stop = stop.get();
  ::SetConsoleCtrlHandler(&OnConsoleSignal, TRUE);

  PrintedTemperature printed;
  QuietTrace quiet;
  ostrel::device::DeviceWorker worker;
  worker.Work().SetView(&printed);
  PrintedDisplayStatus status;
  worker.Work().SetStatusView(&status);
  if (!trace) worker.Work().Sensors().SetTraceSink(&quiet);
  const unique_window window = CreateWatchWindow(worker);
  const ULONGLONG started = ::GetTickCount64();
  const ULONGLONG deadline = seconds ? started + static_cast<ULONGLONG>(seconds) * 1000 : ~0ULL;
  worker.StartWorker();
  std::printf("worker started; %s\n", seconds ? "stops after the given time" : "Ctrl+C stops it");

  int shown_count = -1;
  for (;;) {
    const int count = ostrel::device::CHidDeviceManager::Instance().DeviceCount();
    if (count != shown_count) {
      std::printf("displays: %d\n", count);
      shown_count = count;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) break;
    const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 250));
    const HANDLE handles[] = {g_stop};
    if (::MsgWaitForMultipleObjects(1, handles, FALSE, slice, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  // The worker finishes its current step (at most the update pause) first.
  worker.StopWorker();
  ::SetConsoleCtrlHandler(&OnConsoleSignal, FALSE);
  g_stop = nullptr;
  std::printf("stopped after %.1f s\n", static_cast<double>(::GetTickCount64() - started) / 1000.0);
  return 0;
}

}  // namespace ostrelctl
