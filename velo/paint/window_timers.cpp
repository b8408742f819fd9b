#include "velo/paint/window_timers.h"

#include <algorithm>

#include "common/swallowed_failure.h"
#include "velo/plain/paint_rules.h"

namespace VELO {

BOOL WindowTimers::Set(HWND window, MControl* control, UINT id, UINT elapse) noexcept {
  if (!control || !window) return FALSE;
  CriticalSectionGuard guard(m_lock);
  for (Record& r : m_records) {
    if (r.window != window || r.control.Get() != control || r.controlTimerId != id) continue;
    if (!r.killed) return FALSE;
    if (!::SetTimer(window, r.windowTimerId, elapse, nullptr)) return FALSE;
    r.killed = 0;
    return TRUE;
  }
  const UINT windowId = render::NextWindowTimerId(m_nextId, [&](unsigned candidate) {
    return std::any_of(m_records.begin(), m_records.end(), [&](const Record& r) {
      return r.window == window && r.windowTimerId == candidate && r.control.Get();
    });
  });
  if (windowId == 0xFFFFFFFFu) return FALSE;
  if (!::SetTimer(window, windowId, elapse, nullptr)) return FALSE;
  try {
    m_records.push_back({window, id, windowId, 0, ControlRef(control)});
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    ::KillTimer(window, windowId);
    return FALSE;
  }
  return TRUE;
}

BOOL WindowTimers::Kill(HWND window, MControl* control, UINT id) noexcept {
  CriticalSectionGuard guard(m_lock);
  for (Record& r : m_records) {
    if (r.window == window && r.control.Get() == control && r.controlTimerId == id && !r.killed) {
      ::KillTimer(window, r.windowTimerId);
      r.killed = 1;
      return TRUE;
    }
  }
  return FALSE;
}

void WindowTimers::Kill(HWND window, MControl* control) noexcept {
  CriticalSectionGuard guard(m_lock);
  std::erase_if(m_records, [&](const Record& r) {
    if (r.window != window || r.control.Address() != control) return false;
    if (!r.killed) ::KillTimer(window, r.windowTimerId);
    return true;
  });
}

void WindowTimers::Clear(HWND window) noexcept {
  CriticalSectionGuard guard(m_lock);
  for (const Record& r : m_records) {
    if (!r.killed && r.window && ::IsWindow(r.window)) ::KillTimer(r.window, r.windowTimerId);
  }
  m_records.clear();
  (void)window;
}

std::vector<ControlRef> WindowTimers::Due(HWND window, UINT windowTimerId) noexcept {
  std::vector<ControlRef> due;
  CriticalSectionGuard guard(m_lock);
  std::erase_if(m_records, [&](const Record& r) {
    if (r.window != window || r.windowTimerId != windowTimerId) return false;
    if (!r.control.Get()) {
      if (!r.killed) ::KillTimer(window, r.windowTimerId);
      return true;
    }
    if (!r.killed) {
      try {
        due.push_back(r.control);
      } catch (...) {
        OSTREL_REPORT_CAUGHT();
      }
    }
    return false;
  });
  return due;
}

UINT WindowTimers::WindowIdOf(MControl* control, UINT id) noexcept {
  CriticalSectionGuard guard(m_lock);
  for (const Record& r : m_records) {
    if (r.control.Get() == control && r.controlTimerId == id && !r.killed) return r.windowTimerId;
  }
  return 0xFFFFFFFFu;
}

}  // namespace VELO
