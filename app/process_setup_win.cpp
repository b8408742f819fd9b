#include "app/process_setup_win.h"

#include <windows.h>

#include "app/screen_rule.h"
#include "common/win/unique_any.h"

namespace ostrel::app {

bool ApplyDpiRule() noexcept {
  return ApplyDpiRule(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

bool ApplyDpiRule(int screen_width, int screen_height) noexcept {
  if (!WantsDpiAwareness(screen_width, screen_height)) return false;
  ::SetProcessDPIAware();
  return true;
}

bool EnableDebugPrivilege() noexcept {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &raw)) return false;
  win::unique_handle token(raw);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!::LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &privileges.Privileges[0].Luid)) return false;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // Succeeds even when the privilege is not held; only the last error
  // (ERROR_NOT_ALL_ASSIGNED) tells.
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr)) {
    return false;
  }
  return ::GetLastError() == ERROR_SUCCESS;
}

}  // namespace ostrel::app
