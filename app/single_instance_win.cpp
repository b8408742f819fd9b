#include "app/single_instance_win.h"

namespace ostrel::app {

SingleInstance SingleInstance::Claim(const wchar_t* name) noexcept {
  win::unique_handle mutex(::CreateMutexW(nullptr, TRUE, name));
  const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  if (mutex && existed) return SingleInstance(win::unique_handle(), false);
  return SingleInstance(std::move(mutex), true);
}

HWND FindRunningInstanceWindow(const wchar_t* property) noexcept {
  for (HWND window = ::GetWindow(::GetDesktopWindow(), GW_CHILD); window;
       window = ::GetWindow(window, GW_HWNDNEXT)) {
    if (::GetPropW(window, property)) return window;
  }
  return nullptr;
}

}  // namespace ostrel::app
