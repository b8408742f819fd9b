// Input at window level: the hover control, the focus, the left-press state,
// capture, the start of a control drag and the drag of the window itself.
// Only the control list takes input; areas never do. Controls are called on a
// snapshot of the list, never under its lock, and through ControlRefs that
// turn null when a handler removes a control.
#pragma once

#include <windows.h>

#include "common/win/unique_any.h"
#include "velo/core/control_ref.h"
#include "velo/core/geometry.h"

namespace VELO {

class ControlLists;
class MControl;
class PaintManager;

class InputRouter {
 public:
  // The window's capture, tooltip and handle come from `window`; the
  // controls from `lists`.
  InputRouter(PaintManager& window, ControlLists& lists) noexcept : m_window(window), m_lists(lists) {}
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

  int OnMouseMove(UINT keys, CPoint pt);
  int OnMouseLeave();
  int ButtonDown(UINT keys, CPoint pt, bool right);
  int ButtonUp(UINT keys, CPoint pt, bool right);
  int DoubleClick(UINT keys, CPoint pt, bool right);
  int OnMouseWheel(int delta, CPoint pt);
  int OnKeyDown(UINT vk, unsigned modifiers);
  // Losing the activation ends hover, press and capture.
  void OnNcActivate(bool active);

  MControl* Hover() const noexcept { return m_hover.Get(); }
  MControl* Focus() const noexcept { return m_focus.Get(); }
  // The old focus hears of its loss before the new one of its gain.
  void SetFocus(MControl* control);
  // The focus goes when its control leaves the list.
  void Forget(MControl* control);
  // Tab order: the next (or previous) visible, enabled tab stop, or null.
  MControl* FindFocusable(bool forward);
  int IsCaptured() const noexcept { return m_captured; }
  void EnableWindowDrag(bool on) noexcept { m_windowDrag = on ? 1 : 0; }

 private:
  HWND LiveWindow() const noexcept;
  void Capture() noexcept;
  void Release() noexcept;
  void StartDrag();
  void DragWindow(CPoint pt);

  PaintManager& m_window;
  ControlLists& m_lists;
  ControlRef m_hover;
  ControlRef m_focus;
  int m_tracking = 0;
  int m_leftPressed = 0;
  int m_captured = 0;
  int m_windowDrag = 1;
  // A press on a control that allows dragging makes a drag pending; the
  // first move away with the button down starts it.
  int m_dragPending = 0;
  CPoint m_dragFrom;
  ostrel::win::unique_hbitmap m_dragImage;
};

}  // namespace VELO
