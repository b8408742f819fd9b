// Input routing down a control tree. Mouse events go to the active child
// (the one under the mouse or holding the press) before the control itself;
// hit tests favour later sub-controls, which are drawn on top.
#include "velo/core/mcontrol.h"

namespace VELO {

namespace {
constexpr UINT kCodeDoubleClick = 3;
constexpr UINT kCodeKey = 14;
}  // namespace

CPoint MControl::PointFor(const MControl* child, CPoint original, CPoint translated) noexcept {
  return child->m_uControlID == 1 || child->m_uControlID == 2 ? original : translated;
}

int MControl::OnMouseMove(UINT keys, CPoint pt) {
  if (!m_bVisible || !m_bResponse) return 0;
  CPoint translated = pt;
  OnMousePointChange(translated);

  const bool hadActive = m_pActiveChild.Get() != nullptr;
  if (MControl* active = m_pActiveChild.Get()) {
    const CPoint cp = PointFor(active, pt, translated);
    if ((active->PtInRect(cp) && active->OnCheckMouseResponse(keys, cp)) || m_bPressed) {
      return active->OnMouseMove(keys, cp);
    }
    m_pActiveChild = nullptr;
  }

  if (!m_strTooltip.IsEmpty() && m_pManager && PtInRect(pt) && OnCheckMouseResponse(keys, pt) &&
      m_pManager->GetTooltipCtrlID() != static_cast<int>(m_uControlID)) {
    m_pManager->SetTooltip(m_strTooltip, m_rcControl);
    m_pManager->SetTooltipCtrlID(static_cast<int>(m_uControlID));
  }
  OnControlSetCursor(keys, pt);
  int result = OnControlMouseMove(keys, pt);
  if (m_bTrackInside) m_bOutside = m_rcControl.PtInRect(pt) ? 0 : 1;
  if (m_bPressed) return result;

  {
    CriticalSectionGuard guard(m_subLock);
    for (size_t i = 0; i < m_subControls.size(); ++i) {
      MControl* child = m_subControls[i].get();
      const CPoint cp = PointFor(child, pt, translated);
      const int r = child->OnMouseMove(keys, cp);
      if (r && child->PtInRect(cp)) m_pActiveChild = child;
      result |= r;
    }
  }
  return m_pActiveChild.Get() || hadActive ? 1 : (result ? 1 : 0);
}

int MControl::ButtonDown(UINT keys, CPoint pt, bool right) {
  if (!m_bVisible || !m_bResponse) return 0;
  CPoint translated = pt;
  OnMousePointChange(translated);
  m_bPressed = m_rcControl.PtInRect(pt) ? 1 : 0;
  {
    // An earlier active child stays when nothing is hit.
    CriticalSectionGuard guard(m_subLock);
    for (size_t i = 0; i < m_subControls.size(); ++i) {
      MControl* child = m_subControls[i].get();
      if (child->PtInRect(PointFor(child, pt, translated)) && child->m_bVisible && child->m_bEnabled &&
          child->m_bResponse) {
        m_pActiveChild = child;
      }
    }
  }
  if (MControl* active = m_pActiveChild.Get()) {
    const CPoint cp = PointFor(active, pt, translated);
    return right ? active->OnRButtonDown(keys, cp) : active->OnLButtonDown(keys, cp);
  }
  if (m_pManager && m_pManager->GetFocusControl() != this) m_pManager->SetFocusControl(this);
  return right ? OnControlRButtonDown(keys, pt) : OnControlLButtonDown(keys, pt);
}

int MControl::ButtonUp(UINT keys, CPoint pt, bool right) {
  if (!m_bVisible || !m_bResponse) return 0;
  CPoint translated = pt;
  OnMousePointChange(translated);
  m_bPressed = 0;
  if (MControl* active = m_pActiveChild.Get()) {
    const CPoint cp = PointFor(active, pt, translated);
    return right ? active->OnRButtonUp(keys, cp) : active->OnLButtonUp(keys, cp);
  }
  return right ? OnControlRButtonUp(keys, pt) : OnControlLButtonUp(keys, pt);
}

// A control that does not take double-clicks turns one into a second press
// itself, at whatever depth it sits; a parent only passes the double-click
// on, or every level of the tree would add one more press.
int MControl::ButtonDblClk(UINT keys, CPoint pt, bool right) {
  if (!m_bVisible || !m_bResponse) return 0;
  CPoint translated = pt;
  OnMousePointChange(translated);
  m_bPressed = 0;
  if (MControl* active = m_pActiveChild.Get()) {
    const CPoint cp = PointFor(active, pt, translated);
    return right ? active->OnRButtonDblClk(keys, cp) : active->OnLButtonDblClk(keys, cp);
  }
  if (!m_bDblClk) return right ? OnControlRButtonDown(keys, pt) : OnControlLButtonDown(keys, pt);
  if (!right && m_bNotifyDblClk && m_rcControl.PtInRect(pt)) {
    SendMessageW(kCodeDoubleClick, keys, reinterpret_cast<LPARAM>(&pt));
  }
  return right ? OnControlRButtonDblClk(keys, pt) : OnControlLButtonDblClk(keys, pt);
}

int MControl::OnLButtonDown(UINT keys, CPoint pt) { return ButtonDown(keys, pt, false); }
int MControl::OnRButtonDown(UINT keys, CPoint pt) { return ButtonDown(keys, pt, true); }
int MControl::OnLButtonUp(UINT keys, CPoint pt) { return ButtonUp(keys, pt, false); }
int MControl::OnRButtonUp(UINT keys, CPoint pt) { return ButtonUp(keys, pt, true); }
int MControl::OnLButtonDblClk(UINT keys, CPoint pt) { return ButtonDblClk(keys, pt, false); }
int MControl::OnRButtonDblClk(UINT keys, CPoint pt) { return ButtonDblClk(keys, pt, true); }

int MControl::OnScroll(int delta, UINT keys, CPoint pt) {
  if (!m_bVisible || !m_bResponse || !m_bEnabled) return 0;
  CPoint translated = pt;
  OnMousePointChange(translated);
  if (MControl* active = m_pActiveChild.Get()) {
    const CPoint cp = PointFor(active, pt, translated);
    if (active->PtInRect(cp) && active->OnCheckMouseResponse(keys, cp))
      return active->OnScroll(delta, keys, cp);
  }
  if (!m_rcControl.PtInRect(pt)) return 0;
  if (const int r = OnControlScroll(delta, keys, pt)) return r;
  CriticalSectionGuard guard(m_subLock);
  for (size_t i = 0; i < m_subControls.size(); ++i) {
    MControl* child = m_subControls[i].get();
    const CPoint cp = PointFor(child, pt, translated);
    if (child->PtInRect(cp)) {
      if (const int r = child->OnScroll(delta, keys, cp)) return r;
    }
  }
  return 0;
}

void MControl::NotifyKey(UINT vk, UINT flags) {
  if (m_bNotifyKeys) SendMessageW(kCodeKey, vk, flags);
}

int MControl::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (!m_bVisible || !m_bResponse) return 0;
  {
    CriticalSectionGuard guard(m_subLock);
    for (size_t i = 0; i < m_subControls.size(); ++i) {
      MControl* child = m_subControls[i].get();
      if (child->m_bFocused && child->m_bVisible && child->m_bResponse)
        return child->OnKeyDown(vk, repeat, flags);
    }
  }
  if (MControl* active = m_pActiveChild.Get()) {
    if (const int r = active->OnKeyDown(vk, repeat, flags)) return r;
  }
  if (OnControlKeyDown(vk, repeat, flags)) {
    NotifyKey(vk, flags);
    return 1;
  }
  {
    CriticalSectionGuard guard(m_subLock);
    for (size_t i = 0; i < m_subControls.size(); ++i) {
      if (m_subControls[i]->OnKeyDown(vk, repeat, flags)) {
        NotifyKey(vk, flags);
        return 1;
      }
    }
  }
  NotifyKey(vk, flags);
  return 0;
}

int MControl::OnKeyUp(UINT, UINT, UINT) { return 0; }

// Runs on the multimedia timer thread for controls registered with the
// window: the children are copied under the lock and ticked without it, each
// under its own life lock, so the tick never holds this list's lock while
// the UI thread, which holds it while routing input, may wait on a child.
int MControl::OnTimer() {
  const int own = OnControlTimer();
  const std::vector<ControlRef> children = RefsOf(m_subControls, m_subLock);
  int any = 0;
  for (const ControlRef& ref : children) {
    ref.Call([&any](MControl* child) {
      if (child->m_bRunTimer && child->m_bVisible && child->OnTimer()) any = 1;
    });
  }
  return any ? 1 : own;
}

}  // namespace VELO
