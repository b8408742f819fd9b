// Ostrel.exe's lifecycle with a stand-in panel: a plain window titled and
// marked "TEMP" that runs until it is closed. It links the program's
// resources, so it starts as Ostrel.exe does (administrator manifest).
//
//   lifecycle_probe.exe <report file>
//
// The report lists what the panel saw of the process while it ran, and what
// a second instance found.
#include <windows.h>
// After windows.h, whatever include sorting would prefer.
#include <ole2.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/lifecycle_win.h"
#include "app/single_instance_win.h"

namespace {

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ::RemovePropW(window, ostrel::app::kInstanceName);
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

class StandInPanel final : public ostrel::app::ProgramParts {
 public:
  explicit StandInPanel(std::ofstream& report) : report_(report) {}

  void SetLibraryInstance(HINSTANCE instance) noexcept override {
    report_ << "instance=" << (instance == ::GetModuleHandleW(nullptr)) << "\n";
    // COM is not up yet: this call starts it, and the balance is restored.
    const HRESULT com = ::CoInitialize(nullptr);
    report_ << "com_before_instance=" << (com == S_FALSE) << "\n";
    if (SUCCEEDED(com)) ::CoUninitialize();
  }

  void RunMainWindow() noexcept override {
    report_ << "dpi_aware=" << ::IsProcessDPIAware() << "\n";
    // Already initialised by the lifecycle: S_FALSE, balanced right away.
    const HRESULT com = ::CoInitialize(nullptr);
    report_ << "com=" << (com == S_FALSE) << "\n";
    if (SUCCEEDED(com)) ::CoUninitialize();
    const HRESULT ole = ::OleInitialize(nullptr);
    report_ << "ole=" << (ole == S_FALSE) << "\n";
    if (SUCCEEDED(ole)) ::OleUninitialize();
    report_.flush();

    WNDCLASSW wc{};
    wc.lpfnWndProc = &PanelProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OstrelLifecycleProbe";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"TEMP", WS_POPUP, 10, 10, 340, 250,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    ::SetPropW(window, ostrel::app::kInstanceName, reinterpret_cast<HANDLE>(1));
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    report_ << "panel_closed=1\n";
    report_.flush();
  }

 private:
  std::ofstream& report_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  std::ofstream report(std::filesystem::path(command_line), std::ios::trunc);
  StandInPanel panel(report);
  const int result = ostrel::app::RunProgram(instance, panel);
  if (result == 0) {
    report << "second_instance_found="
           << reinterpret_cast<std::uintptr_t>(ostrel::app::FindRunningInstanceWindow()) << "\n";
  }
  return result;
}
