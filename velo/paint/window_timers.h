// Window timers that controls start through their window: each record maps
// (control, the control's own id) to a window-timer id of the window. A
// killed record stays so that the next SetTimer re-arms the same id. The
// control is held as a ControlRef: a control destroyed with a timer running
// is never called; its records go on its next tick.
#pragma once

#include <windows.h>

#include <vector>

#include "velo/core/control_ref.h"
#include "velo/core/critical_section.h"

namespace VELO {

class WindowTimers {
 public:
  WindowTimers() = default;
  WindowTimers(const WindowTimers&) = delete;
  WindowTimers& operator=(const WindowTimers&) = delete;

  BOOL Set(HWND window, MControl* control, UINT id, UINT elapse) noexcept;
  BOOL Kill(HWND window, MControl* control, UINT id) noexcept;
  void Kill(HWND window, MControl* control) noexcept;
  void Clear(HWND window) noexcept;
  // The controls whose live records carry this window-timer id (gone
  // controls' records are removed on the way). Called without the lock held.
  std::vector<ControlRef> Due(HWND window, UINT windowTimerId) noexcept;
  // The window-timer id of a live record, or 0xFFFFFFFF.
  UINT WindowIdOf(MControl* control, UINT id) noexcept;

 private:
  struct Record {
    HWND window;
    UINT controlTimerId;
    UINT windowTimerId;
    int killed;
    ControlRef control;
  };

  CriticalSection m_lock;
  std::vector<Record> m_records;
  UINT m_nextId = 4096;
};

}  // namespace VELO
