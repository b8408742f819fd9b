#include "velo/paint/input_router.h"

#include <vector>

#include "velo/core/mcontrol.h"
#include "velo/paint/control_lists.h"
#include "velo/paint/drag_source.h"
#include "velo/paint/paint_manager.h"
#include "velo/plain/paint_rules.h"

namespace VELO {
namespace {
const CPoint kOutside(-1, -1);
}  // namespace

HWND InputRouter::LiveWindow() const noexcept {
  const HWND window = m_window.GetPaintWnd();
  return window && ::IsWindow(window) ? window : nullptr;
}

void InputRouter::Capture() noexcept {
  m_window.SetCapture();
  m_captured = 1;
}

void InputRouter::Release() noexcept {
  m_window.ReleaseCapture();
  m_captured = 0;
}

int InputRouter::OnMouseMove(UINT keys, CPoint pt) {
  if (!m_tracking) {
    if (const HWND window = LiveWindow()) {
      TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, window, 400};
      if (::TrackMouseEvent(&tme)) m_tracking = 1;
    }
  }
  if (m_dragPending && (keys & MK_LBUTTON) && pt != m_dragFrom) {
    StartDrag();
    return 1;
  }
  if (MControl* hover = m_hover.Get()) {
    if (hover->PtInRect(pt) && hover->OnCheckMouseResponse(keys, pt) && m_tracking) {
      hover->OnMouseMove(keys, pt);
      return 1;
    }
    m_window.ClearTooltip();
  }
  if (m_leftPressed) return 1;
  if (!m_tracking) {
    m_hover = nullptr;
    return 1;
  }
  MControl* found = nullptr;
  for (const ControlRef& ref : m_lists.Snapshot(false)) {
    MControl* c = ref.Get();
    if (!c) continue;
    c->OnMouseMove(keys, pt);
    // The handler may have removed it.
    if (ref.Get() && c->PtInRect(pt) && c->GetRresponse() && c->OnCheckMouseResponse(keys, pt)) found = c;
  }
  m_hover = found;
  return 1;
}

int InputRouter::OnMouseLeave() {
  m_window.ClearTooltip();
  m_tracking = 0;
  if (m_leftPressed) return 1;
  if (MControl* hover = m_hover.Get()) hover->OnMouseMove(0, kOutside);
  m_hover = nullptr;
  return 1;
}

// A press focuses the hover control and goes to it; the control that still
// wants the mouse afterwards gets the capture. Only the left button makes a
// drag pending, and a left press that no control takes drags the window.
int InputRouter::ButtonDown(UINT keys, CPoint pt, bool right) {
  if (MControl* focus = m_focus.Get(); focus && focus != m_hover.Get()) {
    focus->SetControlFocus(0);
    m_focus = nullptr;
  }
  MControl* hover = m_hover.Get();
  if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(pt) &&
      hover->OnCheckMouseResponse(keys, pt)) {
    if (!right) {
      if (hover->IsDragDrop() && hover->IsEnabled()) {
        m_dragPending = 1;
        m_dragFrom = pt;
        m_dragImage.reset(hover->GetDropBitmap());
      }
      m_leftPressed = 1;
    }
    m_focus = hover;
    const ControlRef ref(hover);
    const int taken = right ? hover->OnRButtonDown(keys, pt) : hover->OnLButtonDown(keys, pt);
    hover = ref.Get();
    if (!m_captured && hover && hover->OnCheckMouseResponse(keys, pt)) {
      Capture();
      return 1;
    }
    if (taken || right) return 1;
  }
  if (!right && m_windowDrag) DragWindow(pt);
  return 1;
}

void InputRouter::DragWindow(CPoint pt) {
  const HWND window = LiveWindow();
  if (!window) return;
  m_leftPressed = 0;
  Release();
  POINT screen = pt;
  ::ClientToScreen(window, &screen);
  ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

// A release goes to the control the press went to; the hover is forgotten
// when the release is off it (as the control stood before the call). The
// right button keeps a capture the left one still needs.
int InputRouter::ButtonUp(UINT keys, CPoint pt, bool right) {
  if (m_captured && (!right || !m_leftPressed)) Release();
  if (!right) {
    m_leftPressed = 0;
    m_dragPending = 0;
  }
  if (MControl* hover = m_hover.Get(); hover && hover->IsVisible() && hover->GetRresponse()) {
    const bool outside = !hover->GetRect().PtInRect(pt);
    if (right) {
      hover->OnRButtonUp(keys, pt);
    } else {
      hover->OnLButtonUp(keys, pt);
    }
    if (outside) m_hover = nullptr;
  }
  return 1;
}

// A double click goes to the hover control, which stays the hover only if it
// survived the handler and still holds the point.
int InputRouter::DoubleClick(UINT keys, CPoint pt, bool right) {
  if (MControl* hover = m_hover.Get(); hover && hover->IsVisible() && hover->GetRresponse()) {
    const ControlRef ref(hover);
    if (right) {
      hover->OnRButtonDblClk(keys, pt);
    } else {
      hover->OnLButtonDblClk(keys, pt);
    }
    if (!ref.Get() || !ref.Get()->PtInRect(pt)) m_hover = nullptr;
  }
  return 1;
}

int InputRouter::OnMouseWheel(int delta, CPoint pt) {
  const int notches = (delta < 0 ? -delta : delta) / 120;
  int taken = 0;
  for (int n = 0; n < notches; ++n) {
    const int down = delta <= 0 ? 1 : 0;
    if (MControl* hover = m_hover.Get(); hover && hover->OnScroll(1, static_cast<UINT>(down), pt)) {
      taken = 1;
      continue;
    }
    for (const ControlRef& ref : m_lists.Snapshot(false)) {
      MControl* c = ref.Get();
      if (c && c->OnScroll(1, static_cast<UINT>(down), pt)) {
        taken = 1;
        break;
      }
    }
  }
  return taken;
}

int InputRouter::OnKeyDown(UINT vk, unsigned modifiers) {
  if (MControl* hover = m_hover.Get(); hover && hover->OnKeyDown(vk, 1, modifiers)) return 1;
  for (const ControlRef& ref : m_lists.Snapshot(false)) {
    MControl* c = ref.Get();
    if (c && c->OnKeyDown(vk, 1, modifiers)) break;
  }
  return 1;
}

void InputRouter::OnNcActivate(bool active) {
  if (active) return;
  m_tracking = 0;
  m_captured = 0;
  if (MControl* hover = m_hover.Get()) {
    if (m_leftPressed) {
      m_leftPressed = 0;
      hover->OnLButtonUp(0, kOutside);
    } else {
      hover->OnMouseMove(0, kOutside);
    }
  }
  m_leftPressed = 0;
  m_hover = nullptr;
}

void InputRouter::StartDrag() {
  m_dragPending = 0;
  const HWND window = LiveWindow();
  if (!window || !m_dragImage) return;
  RECT bounds{};
  ::GetWindowRect(window, &bounds);
  ::ClipCursor(&bounds);
  Release();
  DragBitmap(m_dragImage.get());
  ::ClipCursor(nullptr);
  m_leftPressed = 0;
  // The drag took the button's release: the pressed control hears of it as
  // a release away from everything, so it leaves its pressed look without
  // counting a click. Mouse tracking ended with the drag's capture.
  m_tracking = 0;
  if (MControl* pressed = m_hover.Get()) pressed->OnLButtonUp(0, kOutside);
  m_hover = nullptr;
}

void InputRouter::SetFocus(MControl* control) {
  MControl* old = m_focus.Get();
  if (control == old) return;
  m_focus = control;
  if (old) old->SetControlFocus(0);
  if (control) control->SetControlFocus(1);
}

void InputRouter::Forget(MControl* control) {
  if (m_focus.Address() == control) SetFocus(nullptr);
}

MControl* InputRouter::FindFocusable(bool forward) {
  const std::vector<ControlRef> list = m_lists.Snapshot(false);
  std::vector<bool> focusable;
  int focusIndex = -1;
  MControl* focus = m_focus.Get();
  for (size_t i = 0; i < list.size(); ++i) {
    MControl* c = list[i].Get();
    focusable.push_back(c && c->IsVisible() && c->IsEnabled() && c->IsTabStop());
    if (c && c == focus) focusIndex = static_cast<int>(i);
  }
  // A focus control outside the control list (a sub-control) gives nothing.
  if (focus && focusIndex < 0) return nullptr;
  const int i = render::NextFocusIndex(focusable, focusIndex, forward);
  return i < 0 ? nullptr : list[static_cast<size_t>(i)].Get();
}

}  // namespace VELO
