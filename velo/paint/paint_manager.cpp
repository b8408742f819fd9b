#include "velo/paint/paint_manager.h"

#include <algorithm>

#include "velo/core/mcontrol.h"

namespace VELO {

PaintManager::PaintManager() noexcept = default;

PaintManager::~PaintManager() {
  // Ticks run on the timer thread and walk the timer-control list: stop them
  // while the list still exists.
  KillMTimer();
}

void PaintManager::Init(HWND window, MWindow* dialog) noexcept {
  if (!window || !::IsWindow(window)) return;
  m_hWnd = window;
  m_pDialog = dialog;
  m_bInitialized = 1;
}

void PaintManager::Invalidate() noexcept {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rc, BOOL erase) noexcept {
  if (!m_hWnd || !::IsWindow(m_hWnd)) return;
  if (m_bLayered) {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
  } else {
    ::InvalidateRect(m_hWnd, &rc, erase);
  }
}

void PaintManager::SetFocusControl(MControl* control) {
  if (control == m_pFocusControl) return;
  MControl* old = m_pFocusControl;
  m_pFocusControl = control;
  if (old) old->SetControlFocus(0);
  if (control) control->SetControlFocus(1);
}

void PaintManager::SetTooltip(const wchar_t* text, CRect rc) {
  if (!text || !*text) {
    m_strTooltip.Empty();
    m_bTooltipActive = 0;
    return;
  }
  m_strTooltip = text;
  m_rcTooltip = rc;
  m_bTooltipActive = 1;
}

void PaintManager::ClearTooltip() {
  m_strTooltip.Empty();
  m_bTooltipActive = 0;
  m_nTooltipCtrlID = 0;
}

UINT PaintManager::SetMTimer(UINT elapse) noexcept {
  const UINT id = SetTimer(elapse, CString(), 0);
  m_uMTimerID = id;
  return id;
}

void PaintManager::KillMTimer(UINT id) noexcept { KillTimer(id); }

void PaintManager::KillMTimer() noexcept { KillTimer(); }

int PaintManager::AddMTimer(MControl* control) noexcept {
  CriticalSectionGuard guard(m_timerControlLock);
  try {
    m_timerControls.push_back(control);
  } catch (...) {
    return 0;
  }
  return 1;
}

BOOL PaintManager::DeleteFSTimer(MControl* control) noexcept {
  CriticalSectionGuard guard(m_timerControlLock);
  auto it = std::find(m_timerControls.begin(), m_timerControls.end(), control);
  if (it == m_timerControls.end()) return FALSE;
  m_timerControls.erase(it);
  return TRUE;
}

void PaintManager::ForgetControl(MControl* control) noexcept {
  if (m_pFocusControl == control) m_pFocusControl = nullptr;
  // Taking the lock also waits for a tick that is walking the list right now.
  CriticalSectionGuard guard(m_timerControlLock);
  std::erase(m_timerControls, control);
}

void PaintManager::OnMTimer(UINT id) {
  if (id == 0 || id != m_uMTimerID) return;
  CriticalSectionGuard guard(m_timerControlLock);
  // A tick may add or remove controls on this thread: re-test the size.
  for (size_t i = 0; i < m_timerControls.size(); ++i) m_timerControls[i]->OnTimer();
}

}  // namespace VELO
