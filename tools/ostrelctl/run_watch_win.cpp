#include <windows.h>

#include "common/win/unique_any.h"
#include "common/win/window_handle.h"
#include "device/worker/device_watch.h"
#include "tools/ostrelctl/run_watch.h"

namespace ostrelctl {
namespace {

// Set by Ctrl+C, Ctrl+Break and console close.
HANDLE g_stop = nullptr;

BOOL WINAPI OnConsoleSignal(DWORD) {
  ::SetEvent(g_stop);
  return TRUE;
}

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

}  // namespace

struct RunWatch::State {
  ostrel::win::unique_handle stop;
  unique_window window;
};

RunWatch::RunWatch(ostrel::device::CThreadBasic& worker) : state_(std::make_unique<State>()) {
  state_->stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  g_stop = state_->stop.get();
  ::SetConsoleCtrlHandler(&OnConsoleSignal, TRUE);
  state_->window = CreateWatchWindow(worker);
}

RunWatch::~RunWatch() {
  ::SetConsoleCtrlHandler(&OnConsoleSignal, FALSE);
  g_stop = nullptr;
}

bool RunWatch::Wait(std::uint32_t ms) {
  const HANDLE handles[] = {state_->stop.get()};
  if (::MsgWaitForMultipleObjects(1, handles, FALSE, ms, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return false;
}

const char* RunWatch::StopHint() const { return "Ctrl+C stops it"; }

}  // namespace ostrelctl
