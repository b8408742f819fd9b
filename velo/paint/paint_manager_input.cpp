// Input at window level: the hover control, the left-press state, capture,
// window drag, keyboard routing and the Tab focus order. Only the control
// list takes input; areas never do. Controls are called on a snapshot of the
// list, never under its lock, and through ControlRefs that turn null when a
// handler removes a control.
#include <windowsx.h>

#include "velo/core/mcontrol.h"
#include "velo/paint/paint_manager.h"
#include "velo/plain/paint_rules.h"

namespace VELO {
namespace {
const CPoint kOutside(-1, -1);
bool Down(int vk) noexcept { return (::GetKeyState(vk) & 0x8000) != 0; }
}  // namespace

unsigned PaintManager::CurrentModifierCode() noexcept {
  return render::ModifierCode(Down(VK_MENU), Down(VK_SHIFT), Down(VK_CONTROL));
}

int PaintManager::OnMouseMove(UINT keys, CPoint pt) {
  if (!m_bTracking && Live()) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 400};
    if (::TrackMouseEvent(&tme)) m_bTracking = 1;
  }
  if (m_bDragPending && (keys & MK_LBUTTON) && pt != m_ptDragLast) {
    StartDrag();
    return 1;
  }
  if (MControl* hover = m_hover.Get()) {
    if (hover->PtInRect(pt) && hover->OnCheckMouseResponse(keys, pt) && m_bTracking) {
      hover->OnMouseMove(keys, pt);
      return 1;
    }
    ClearTooltip();
  }
  if (m_bLeftPressed) return 1;
  if (!m_bTracking) {
    m_hover = nullptr;
    return 1;
  }
  MControl* found = nullptr;
  for (const ControlRef& ref : Snapshot(false)) {
    MControl* c = ref.Get();
    if (!c) continue;
    c->OnMouseMove(keys, pt);
    // The handler may have removed it.
    if (ref.Get() && c->PtInRect(pt) && c->GetRresponse() && c->OnCheckMouseResponse(keys, pt)) found = c;
  }
  m_hover = found;
  return 1;
}

int PaintManager::OnMouseLeave() {
  ClearTooltip();
  m_bTracking = 0;
  if (m_bLeftPressed) return 1;
  if (MControl* hover = m_hover.Get()) hover->OnMouseMove(0, kOutside);
  m_hover = nullptr;
  return 1;
}

int PaintManager::OnLButtonDown(UINT keys, CPoint pt) {
  if (MControl* focus = m_focus.Get(); focus && focus != m_hover.Get()) {
    focus->SetControlFocus(0);
    m_focus = nullptr;
  }
  MControl* hover = m_hover.Get();
  if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(pt) &&
      hover->OnCheckMouseResponse(keys, pt)) {
    if (hover->IsDragDrop() && hover->IsEnabled()) {
      m_bDragPending = 1;
      m_ptDragLast = pt;
      m_hDragBitmap.reset(hover->GetDropBitmap());
    }
    m_bLeftPressed = 1;
    m_focus = hover;
    const ControlRef ref(hover);
    const int taken = hover->OnLButtonDown(keys, pt);
    hover = ref.Get();
    if (!m_bCaptured && hover && hover->OnCheckMouseResponse(keys, pt)) {
      SetCapture();
      m_bCaptured = 1;
      return 1;
    }
    if (taken) return 1;
  }
  if (m_bWndDrag && Live()) {
    m_bLeftPressed = 0;
    ReleaseCapture();
    m_bCaptured = 0;
    POINT screen = pt;
    ::ClientToScreen(m_hWnd, &screen);
    ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
  }
  return 1;
}

int PaintManager::OnLButtonUp(UINT keys, CPoint pt) {
  if (m_bCaptured) {
    ReleaseCapture();
    m_bCaptured = 0;
  }
  m_bLeftPressed = 0;
  m_bDragPending = 0;
  return ReleaseToHover(&MControl::OnLButtonUp, keys, pt);
}

int PaintManager::OnLButtonDblClk(UINT keys, CPoint pt) {
  return DoubleClickToHover(&MControl::OnLButtonDblClk, keys, pt);
}

// A release goes to the control the press went to; the hover is forgotten
// when the release is off it (as the control stood before the call).
int PaintManager::ReleaseToHover(int (MControl::*release)(UINT, CPoint), UINT keys, CPoint pt) {
  if (MControl* hover = m_hover.Get(); hover && hover->IsVisible() && hover->GetRresponse()) {
    const bool outside = !hover->GetRect().PtInRect(pt);
    (hover->*release)(keys, pt);
    if (outside) m_hover = nullptr;
  }
  return 1;
}

// A double click goes to the hover control, which stays the hover only if it
// survived the handler and still holds the point.
int PaintManager::DoubleClickToHover(int (MControl::*click)(UINT, CPoint), UINT keys, CPoint pt) {
  if (MControl* hover = m_hover.Get(); hover && hover->IsVisible() && hover->GetRresponse()) {
    const ControlRef ref(hover);
    (hover->*click)(keys, pt);
    if (!ref.Get() || !ref.Get()->PtInRect(pt)) m_hover = nullptr;
  }
  return 1;
}

int PaintManager::OnRButtonDown(UINT keys, CPoint pt) {
  if (MControl* focus = m_focus.Get(); focus && focus != m_hover.Get()) {
    focus->SetControlFocus(0);
    m_focus = nullptr;
  }
  MControl* hover = m_hover.Get();
  if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(pt) &&
      hover->OnCheckMouseResponse(keys, pt)) {
    m_focus = hover;
    const ControlRef ref(hover);
    hover->OnRButtonDown(keys, pt);
    if (!m_bCaptured && ref.Get() && ref.Get()->OnCheckMouseResponse(keys, pt)) {
      SetCapture();
      m_bCaptured = 1;
    }
  }
  return 1;
}

int PaintManager::OnRButtonUp(UINT keys, CPoint pt) {
  if (m_bCaptured && !m_bLeftPressed) {
    ReleaseCapture();
    m_bCaptured = 0;
  }
  return ReleaseToHover(&MControl::OnRButtonUp, keys, pt);
}

int PaintManager::OnRButtonDblClk(UINT keys, CPoint pt) {
  return DoubleClickToHover(&MControl::OnRButtonDblClk, keys, pt);
}

int PaintManager::OnMouseWheel(UINT keys, int delta, CPoint screenPt) {
  CPoint pt = screenPt;
  if (Live()) ::ScreenToClient(m_hWnd, &pt);
  const int notches = (delta < 0 ? -delta : delta) / 120;
  int taken = 0;
  for (int n = 0; n < notches; ++n) {
    const int down = delta <= 0 ? 1 : 0;
    if (MControl* hover = m_hover.Get(); hover && hover->OnScroll(1, static_cast<UINT>(down), pt)) {
      taken = 1;
      continue;
    }
    for (const ControlRef& ref : Snapshot(false)) {
      MControl* c = ref.Get();
      if (c && c->OnScroll(1, static_cast<UINT>(down), pt)) {
        taken = 1;
        break;
      }
    }
  }
  (void)keys;
  return taken;
}

int PaintManager::OnKeyDown(UINT vk, UINT) {
  const unsigned code = CurrentModifierCode();
  if (MControl* hover = m_hover.Get(); hover && hover->OnKeyDown(vk, 1, code)) return 1;
  for (const ControlRef& ref : Snapshot(false)) {
    MControl* c = ref.Get();
    if (c && c->OnKeyDown(vk, 1, code)) break;
  }
  return 1;
}

int PaintManager::OnKeyUp(UINT, UINT) { return 0; }

void PaintManager::OnNcActivate(BOOL active) {
  m_bActive = active ? 1 : 0;
  if (!active) {
    m_bTracking = 0;
    m_bCaptured = 0;
    if (MControl* hover = m_hover.Get()) {
      if (m_bLeftPressed) {
        m_bLeftPressed = 0;
        hover->OnLButtonUp(0, kOutside);
      } else {
        hover->OnMouseMove(0, kOutside);
      }
    }
    m_bLeftPressed = 0;
    m_hover = nullptr;
  }
  if (Live()) ::InvalidateRect(m_hWnd, nullptr, m_bLayered ? TRUE : FALSE);
}

void PaintManager::OnWindowPosChanged(WINDOWPOS* pos) {
  if (!Live() || !pos) return;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, 0x0433);
  ::SendMessageW(m_hWnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
  ::SendMessageW(m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(pos->cx, pos->cy));
}

BOOL PaintManager::PreTranslateMessage(MSG* msg) {
  if (!msg) return FALSE;
  if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && msg->wParam == VK_TAB) {
    const unsigned code = CurrentModifierCode();
    MControl* next = code == 0 ? GetNextFocusableControl() : code == 16 ? GetPrevFocusableControl() : nullptr;
    if ((code == 0 || code == 16) && next && next != m_focus.Get()) {
      SetFocusControl(next);
      return TRUE;
    }
    return FALSE;
  }
  switch (msg->message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
      m_tooltip.Relay(msg);
      break;
    default:
      break;
  }
  return FALSE;
}

void PaintManager::SetFocusControl(MControl* control) {
  MControl* old = m_focus.Get();
  if (control == old) return;
  m_focus = control;
  if (old) old->SetControlFocus(0);
  if (control) control->SetControlFocus(1);
}

MControl* PaintManager::FindFocusable(bool forward) {
  const std::vector<ControlRef> list = Snapshot(false);
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

MControl* PaintManager::GetNextFocusableControl() { return FindFocusable(true); }
MControl* PaintManager::GetPrevFocusableControl() { return FindFocusable(false); }

}  // namespace VELO
