#include "velo/core/mpopupwnd.h"

#include <cstdint>
#include <optional>

#include "velo/core/handler_dispatch.h"
#include "velo/core/mcontrol.h"
#include "velo/plain/lifetime_watch.h"
#include "velo/plain/window_style.h"

namespace VELO {

MPopupWnd::~MPopupWnd() {
  // As for dialogs: nothing the teardown sends may reach a half-gone object.
  if (IsLive() &&
      ::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(static_cast<MWindow*>(this))) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
  }
}

LRESULT MPopupWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  render::LifetimeWatch watch(static_cast<MWindow*>(this));
  if (const std::optional<LRESULT> answer = DispatchToHandlers(*this, msg, wParam, lParam)) return *answer;
  if (!watch.Alive()) return 0;
  const HWND hwnd = m_hWnd;
  if (!hwnd) return 0;
  if (const LRESULT r = m_pm.OnWindowMessage(msg, wParam, lParam)) return r;
  if (!watch.Alive()) return 0;
  return ::CallWindowProcW(m_OldWndProc, hwnd, msg, wParam, lParam);
}

BOOL MPopupWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL MPopupWnd::OnInitDialog() {
  m_pm.Init(m_hWnd, this);
  m_pm.EnableWndDrag(FALSE);
  CRect client;
  if (IsLive()) ::GetClientRect(m_hWnd, &client);
  InitUI(client);
  return TRUE;
}

void MPopupWnd::OnDestroyMessage(HWND hwnd) {
  if (hwnd == m_pm.GetPaintWnd()) m_pm.OnDestroyMessage(hwnd);
  PostNcDestroy();
}

LRESULT MPopupWnd::OnBaseMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam) {
  return OnMessage(controlId, code, wParam, lParam);
}

LRESULT MPopupWnd::OnControlUpdate(CRect rc, int resetCache, MControl* control) {
  return m_pm.OnControlUpdate(rc, resetCache, control);
}

MObject* MPopupWnd::GetParent() { return m_pParent; }
void MPopupWnd::InitUI(CRect) {}
void MPopupWnd::UISize(CRect) {}
LRESULT MPopupWnd::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }

LRESULT MPopupWnd::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
  if (HoldsHandle()) ::PostMessageW(m_hWnd, WM_CLOSE, wParam, lParam);
  return 1;
}

void MPopupWnd::CloseWindow() {
  if (HoldsHandle()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

int MPopupWnd::OnCreate(CREATESTRUCTW*) {
  if (!HoldsHandle()) return 1;
  const auto style = static_cast<std::uint32_t>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(SkinnedWindowStyle(style)));
  ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  return 1;
}

int MPopupWnd::OnSize(UINT, int, int) {
  CRect client;
  if (IsLive()) ::GetClientRect(m_hWnd, &client);
  UISize(client);
  if (IsLive()) ::InvalidateRect(m_hWnd, &client, FALSE);
  return 0;
}

int MPopupWnd::OnMouseMove(UINT, CPoint) { return 0; }
int MPopupWnd::OnMouseLeave(UINT, LPARAM) { return 0; }
int MPopupWnd::OnMouseHover(UINT, LPARAM) { return 0; }
int MPopupWnd::OnMouseWheel(UINT, short, CPoint) { return 0; }
int MPopupWnd::OnLButtonDown(UINT, CPoint) { return 0; }
int MPopupWnd::OnLButtonUp(UINT, CPoint) { return 0; }
int MPopupWnd::OnLButtonDblClk(UINT, CPoint) { return 0; }
int MPopupWnd::OnRButtonDown(UINT, CPoint) { return 0; }
int MPopupWnd::OnRButtonUp(UINT, CPoint) { return 0; }
int MPopupWnd::OnRButtonDblClk(UINT, CPoint) { return 0; }
int MPopupWnd::OnKeyDown(UINT, UINT, UINT) { return 0; }
int MPopupWnd::OnNcHitTest(CPoint) { return 0; }
int MPopupWnd::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MPopupWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }

int MPopupWnd::OnNcActivate(BOOL active) {
  // Any other window taking the activation ends the pop-up.
  if (!active && HoldsHandle()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
  return 1;
}

int MPopupWnd::OnWindowPosChanging(WINDOWPOS*) { return 0; }

// The frame refresh notifies the window again: the depth counter lets that
// nested notification through without refreshing once more.
int MPopupWnd::OnWindowPosChanged(WINDOWPOS* pos) {
  if (!pos || !IsLive() || m_nPosDepth > 0) return 1;
  ++m_nPosDepth;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(m_hWnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
  ::SendMessageW(m_hWnd, WM_SIZE, 0, MAKELPARAM(pos->cx, pos->cy));
  --m_nPosDepth;
  OnSize(0, pos->cx, pos->cy);
  return 1;
}

int MPopupWnd::OnPaint() { return 0; }
void MPopupWnd::OnTimer(UINT) {}
int MPopupWnd::OnNcPaint() { return 0; }
int MPopupWnd::OnClose() { return 1; }
int MPopupWnd::PostNcDestroy() { return 0; }
int MPopupWnd::OnDestroy() { return 0; }

int MPopupWnd::SendMessageToParent(UINT code, WPARAM wParam, LPARAM lParam) {
  MObject* parent = GetParent();
  if (!parent) return 0;
  // The parent is a control: its OnMessage is the control's own handler.
  auto* control = dynamic_cast<MControl*>(parent);
  if (control) return static_cast<int>(control->OnMessage(0, code, wParam, lParam));
  return static_cast<int>(parent->OnBaseMessage(0, code, wParam, lParam));
}

MControl* MPopupWnd::CreateControl(const wchar_t* className, UINT id, CRect rc, const wchar_t* text,
                                   BOOL visible, BOOL enabled) {
  return m_pm.CreateControl(this, className, id, rc, text, visible, enabled);
}
MControl* MPopupWnd::CreateArea(const wchar_t* className, UINT id, CRect rc, const wchar_t* text,
                                BOOL visible, BOOL enabled) {
  return m_pm.CreateArea(this, className, id, rc, text, visible, enabled);
}
MControl* MPopupWnd::GetControl(UINT id) { return m_pm.GetControl(id); }
BOOL MPopupWnd::LoadBKImage(CString file) { return m_pm.LoadBKImage(file); }
BOOL MPopupWnd::LoadBKImage(UINT resourceId, CString type) { return m_pm.LoadBKImage(resourceId, type); }
void MPopupWnd::SetBackMode(enumBackMode mode, int value) { m_pm.SetBackMode(mode, value); }
void MPopupWnd::SetScrollResID(UINT vertical, UINT horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
void MPopupWnd::SetLayeredWindow(BOOL layered) { m_pm.SetLayeredWindow(layered); }

void MPopupWnd::SetupBackTranslucent() {
  if (!IsLive()) return;
  if (m_nAlpha != 255) {
    ModifyExStyle(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_nAlpha), LWA_ALPHA);
  } else if (m_crKey != 0x00FFFFFF) {
    ModifyExStyle(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, m_crKey, 255, LWA_COLORKEY);
  }
}

void MPopupWnd::SetupRegion(int corner) {
  if (!IsLive()) return;
  RECT wr{};
  ::GetWindowRect(m_hWnd, &wr);
  ::SetWindowRgn(m_hWnd,
                 ::CreateRoundRectRgn(0, 0, wr.right - wr.left + 1, wr.bottom - wr.top + 1, corner, corner),
                 TRUE);
}

}  // namespace VELO
