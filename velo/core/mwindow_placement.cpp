#include <map>
#include <mutex>
#include <tuple>

#include "common/swallowed_failure.h"
#include "common/win/unique_any.h"
#include "velo/core/manager.h"
#include "velo/core/mwindow.h"
#include "velo/plain/placement.h"

namespace VELO {
namespace {

render::Edges ToEdges(const RECT& r) noexcept { return {r.left, r.top, r.right, r.bottom}; }

// Window icons are loaded once per module, resource and size and kept for
// the life of the process, so that windows given icons again and again do
// not pile them up. (LR_SHARED would do the same, but Wine's shared cache
// ignores the size and hands the big icon out for the small one.)
HICON WindowIcon(HINSTANCE module, UINT id, int cx, int cy) noexcept {
  using Key = std::tuple<HINSTANCE, UINT, int, int>;
  static std::mutex lock;
  static std::map<Key, ostrel::win::unique_hicon> icons;
  try {
    const std::lock_guard<std::mutex> guard(lock);
    auto& icon = icons[Key{module, id, cx, cy}];
    if (!icon)
      icon.reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0)));
    return icon.get();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return nullptr;
  }
}

bool ShownAndNotMinimised(HWND hwnd) noexcept {
  const auto style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
  return (style & (WS_VISIBLE | WS_MINIMIZE)) == WS_VISIBLE;
}

}  // namespace

void MWindow::CenterWindow(MWindow* pAlternateOwner) {
  if (!IsLive()) return;
  const bool child = (GetStyle() & WS_CHILD) != 0;
  HWND reference = pAlternateOwner ? pAlternateOwner->GetSafeHwnd() : nullptr;
  if (!reference) reference = child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);

  RECT area{}, around{};
  if (child) {
    const HWND parent = ::GetParent(m_hWnd);
    ::GetClientRect(parent, &area);
    around = area;
    if (reference) {
      ::GetClientRect(reference, &around);
      ::MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&around), 2);
    }
  } else {
    if (reference && !ShownAndNotMinimised(reference)) reference = nullptr;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(reference ? reference : m_hWnd, MONITOR_DEFAULTTONEAREST),
                      &monitor);
    area = monitor.rcWork;
    around = area;
    if (reference) ::GetWindowRect(reference, &around);
  }
  RECT self{};
  ::GetWindowRect(m_hWnd, &self);
  const render::Offset at =
      render::CenterInArea(ToEdges(around), ToEdges(area), self.right - self.left, self.bottom - self.top);
  ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, -1, -1, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
}

void MWindow::BringToTop() {
  if (!IsLive()) return;
  const HWND foreground = ::GetForegroundWindow();
  const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const DWORD ownThread = ::GetWindowThreadProcessId(m_hWnd, nullptr);
  if (foreground && foregroundThread != ownThread) {
    // Sharing the foreground thread's input state is what lets a background
    // program take the foreground.
    ::AttachThreadInput(foregroundThread, ownThread, TRUE);
    ::AllowSetForegroundWindow(ASFW_ANY);
    ::SetForegroundWindow(m_hWnd);
    ::AttachThreadInput(foregroundThread, ownThread, FALSE);
  } else {
    ::SetForegroundWindow(m_hWnd);
  }
  ::ShowWindow(m_hWnd, (GetStyle() & WS_MINIMIZE) ? SW_RESTORE : SW_SHOW);
}

void MWindow::SetIcon(UINT resourceId) {
  const HINSTANCE module = Manager::GetInstance();
  const auto load = [&](int cx, int cy) {
    return reinterpret_cast<LPARAM>(
        WindowIcon(module, resourceId, ::GetSystemMetrics(cx), ::GetSystemMetrics(cy)));
  };
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, load(SM_CXICON, SM_CYICON));
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, load(SM_CXSMICON, SM_CYSMICON));
}

}  // namespace VELO
