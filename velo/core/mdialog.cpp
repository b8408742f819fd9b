#include "velo/core/mdialog.h"

#include <cstdint>
#include <optional>

#include "velo/core/airbladder.h"
#include "velo/core/handler_dispatch.h"
#include "velo/core/mcontrol.h"
#include "velo/plain/lifetime_watch.h"
#include "velo/plain/shadow_shape.h"
#include "velo/plain/window_style.h"

namespace VELO {
namespace {

using render::LifetimeWatch;

using render::InShadowRange;
using render::kShadowLimit;

}  // namespace

MDialog::MDialog() {
  // The balloon window lives in this library: any dialog can show one.
  InstallAirBladderFactory();
}

MDialog::~MDialog() {
  // The window may outlive the object: unbind it first, so that nothing the
  // paint manager's teardown sends it (tooltip, balloon, shadow going away)
  // reaches a half-destroyed dialog.
  if (IsLive() &&
      ::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(static_cast<MWindow*>(this))) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
  }
}

// The handler runs first and may delete the dialog or destroy its window;
// after it returns, only a dialog that still exists and still has its window
// goes on to the paint manager.
LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LifetimeWatch watch(static_cast<MWindow*>(this));
  if (const std::optional<LRESULT> answer = DispatchToHandlers(*this, msg, wParam, lParam)) return *answer;
  if (!watch.Alive()) return 0;
  const HWND hwnd = m_hWnd;
  if (!hwnd) return ::DefWindowProcW(nullptr, msg, wParam, lParam);
  if (const LRESULT r = m_pm.OnWindowMessage(msg, wParam, lParam)) return r;
  if (!watch.Alive()) return 0;
  return ::CallWindowProcW(m_OldWndProc, hwnd, msg, wParam, lParam);
}

BOOL MDialog::PreTranslateMessage(MSG* msg) { return m_pm.PreTranslateMessage(msg); }

BOOL MDialog::OnInitDialog() {
  m_pm.Init(m_hWnd, this);
  if (IsLive()) ::GetClientRect(m_hWnd, &m_rcClient);
  InitUI(m_rcClient);
  return TRUE;
}

void MDialog::OnDestroyMessage(HWND hwnd) {
  if (hwnd == m_pm.GetPaintWnd()) m_pm.OnDestroyMessage(hwnd);
  PostNcDestroy();
}

LRESULT MDialog::OnBaseMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam) {
  return OnMessage(controlId, code, wParam, lParam);
}

LRESULT MDialog::OnControlUpdate(CRect rc, int resetCache, MControl* control) {
  return m_pm.OnControlUpdate(rc, resetCache, control);
}

POINT MDialog::GetAirBladderPoint(MControl* control, UINT type) {
  POINT pt{0, 0};
  if (!control) return pt;
  const CRect rc = control->GetRect();
  pt.y = rc.bottom;
  pt.x = type == 1 ? rc.left + (rc.right - rc.left) / 2 : type == 2 ? rc.right : rc.left;
  ClientToScreen(&pt);
  return pt;
}

void MDialog::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void MDialog::OnMaximize() {
  if (!HoldsHandle()) return;
  ShowWindow(::IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
}

void MDialog::InitUI(CRect) {}
void MDialog::UISize(CRect) {}
LRESULT MDialog::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }

LRESULT MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
  if (HoldsHandle()) ::PostMessageW(m_hWnd, WM_CLOSE, wParam, lParam);
  return 1;
}

int MDialog::OnCreate(CREATESTRUCTW*) {
  if (!HoldsHandle()) return 1;
  const auto style = static_cast<std::uint32_t>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(SkinnedWindowStyle(style)));
  return 1;
}

int MDialog::OnSize(UINT type, int, int) {
  if (type != SIZE_MINIMIZED) SetupBackTranslucent();
  if (IsLive()) ::GetClientRect(m_hWnd, &m_rcClient);
  if (m_rcClient.Width() > 1 && m_rcClient.Height() > 1) UISize(m_rcClient);
  if (IsLive()) ::InvalidateRect(m_hWnd, &m_rcClient, FALSE);
  return 0;
}

int MDialog::OnMouseMove(UINT, CPoint) { return 0; }
int MDialog::OnMouseLeave(UINT, LPARAM) { return 0; }
int MDialog::OnMouseHover(UINT, LPARAM) { return 0; }
int MDialog::OnMouseWheel(UINT, short, CPoint) { return 0; }
int MDialog::OnLButtonDown(UINT, CPoint) { return 0; }
int MDialog::OnLButtonUp(UINT, CPoint) { return 0; }
int MDialog::OnLButtonDblClk(UINT, CPoint) { return 0; }
int MDialog::OnRButtonDown(UINT, CPoint) { return 0; }
int MDialog::OnRButtonUp(UINT, CPoint) { return 0; }
int MDialog::OnRButtonDblClk(UINT, CPoint) { return 0; }
int MDialog::OnKeyDown(UINT, UINT, UINT) { return 0; }
int MDialog::OnNcHitTest(CPoint) { return 0; }
int MDialog::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MDialog::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
int MDialog::OnNcActivate(BOOL) { return 0; }
int MDialog::OnWindowPosChanging(WINDOWPOS*) { return 0; }
int MDialog::OnWindowPosChanged(WINDOWPOS*) { return 0; }
int MDialog::OnPaint() { return 0; }
void MDialog::OnTimer(UINT) {}
int MDialog::OnNcPaint() { return 0; }
int MDialog::OnClose() { return 1; }
int MDialog::OnDestroy() { return 0; }
int MDialog::PostNcDestroy() { return 0; }

void MDialog::PostUserClose(WPARAM code) {
  if (HoldsHandle()) ::PostMessageW(m_hWnd, WM_VELO_USERCLOSE, code, 0);
}
void MDialog::DoOK() { PostUserClose(IDOK); }
void MDialog::DoCancel() { PostUserClose(IDCANCEL); }
void MDialog::DoClose() { PostUserClose(IDCANCEL); }
void MDialog::DoYes() { PostUserClose(IDYES); }
void MDialog::DoNo() { PostUserClose(IDNO); }

MControl* MDialog::CreateControl(const wchar_t* className, UINT id, CRect rc, const wchar_t* text,
                                 BOOL visible, BOOL enabled) {
  return m_pm.CreateControl(this, className, id, rc, text, visible, enabled);
}

MControl* MDialog::CreateArea(const wchar_t* className, UINT id, CRect rc, const wchar_t* text, BOOL visible,
                              BOOL enabled) {
  return m_pm.CreateArea(this, className, id, rc, text, visible, enabled);
}

MControl* MDialog::GetControl(UINT id) { return m_pm.GetControl(id); }
std::vector<MControl*> MDialog::GetControls() { return m_pm.GetControls(); }

void MDialog::SetFocusControl(MControl* control) {
  MControl* old = m_pm.GetFocusControl();
  if (old == control) return;
  if (old) old->SetControlFocus(0);
  if (control) control->SetControlFocus(1);
  m_pm.SetFocusControl(control);
}

BOOL MDialog::LoadBKImage(CString file) { return m_pm.LoadBKImage(file); }
BOOL MDialog::LoadBKImage(UINT resourceId, CString type) { return m_pm.LoadBKImage(resourceId, type); }
void MDialog::SetBackMode(enumBackMode mode, int value) { m_pm.SetBackMode(mode, value); }
void MDialog::SetLayeredWindow(BOOL layered) { m_pm.SetLayeredWindow(layered); }
void MDialog::EnableDrawInfo(BOOL on) { m_pm.EnableDrawInfo(on); }
void MDialog::EnableWndDrag(BOOL on) { m_pm.EnableWndDrag(on); }
void MDialog::SetScrollResID(UINT vertical, UINT horizontal) { m_pm.SetScrollResID(vertical, horizontal); }

void MDialog::SetupBackTranslucent() {
  if (!IsLive()) return;
  if (m_nAlpha != 255) {
    ModifyExStyle(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_nAlpha), LWA_ALPHA);
  } else if (m_crKey != 0x00FFFFFF) {
    ModifyExStyle(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, m_crKey, 255, LWA_COLORKEY);
  }
}

void MDialog::CreateShadow(BOOL show, bool flag) { m_pm.CreateShadow(show, flag); }

int MDialog::SetSize(int size) {
  if (!InShadowRange(size)) return 0;
  m_pm.SetSize(size);
  return 1;
}

int MDialog::SetSharpness(UINT sharpness) {
  if (sharpness > kShadowLimit) return 0;
  m_pm.SetSharpness(sharpness);
  return 1;
}

int MDialog::SetDarkness(UINT darkness) {
  if (darkness > 255) return 0;
  m_pm.SetDarkness(darkness);
  return 1;
}

int MDialog::SetPosition(int x, int y) {
  if (!InShadowRange(x) || !InShadowRange(y)) return 0;
  m_pm.SetPosition(x, y);
  return 1;
}

void MDialog::SetShadowColor(COLORREF color) { m_pm.SetShadowColor(color); }
void MDialog::SetShadowImage(const wchar_t* name, CRect corners) { m_pm.SetShadowImage(name, corners); }
void MDialog::SetShadowImage(UINT id, CRect corners) { m_pm.SetShadowImage(id, corners); }
void MDialog::SetShadowShow(BOOL show) { m_pm.SetShadowShow(show); }

void MDialog::SetMessage(CString text, CRect rc, MsgLevel level) {
  if (rc.IsRectEmpty()) {
    const int w = m_rcClient.Width();
    rc = CRect(w / 2 - 100, m_rcClient.bottom - 60, w / 2 + 100, m_rcClient.bottom - 2);
    rc.top += m_nMsgOffset;
    rc.bottom += m_nMsgOffset;
  }
  m_pm.SetMessage(text, rc, level);
}

void MDialog::SetProgress(int percent, CString text, CRect rc) { m_pm.SetProgress(percent, text, rc); }
void MDialog::SetTooltip(CString text, CRect area) { m_pm.SetTooltip(text.GetString(), area); }
void MDialog::ClearTooltip() { m_pm.ClearTooltip(); }
void MDialog::SetTooltipCtrlID(int id) { m_pm.SetTooltipCtrlID(id); }
int MDialog::GetTooltipCtrlID() { return m_pm.GetTooltipCtrlID(); }
UINT MDialog::SetMTimer(UINT elapse) { return m_pm.SetMTimer(elapse); }
void MDialog::KillMTimer(UINT id) { m_pm.KillMTimer(id); }

int MDialog::SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type) {
  if (pt.x == 0 || pt.y == 0) return 0;
  m_pm.SetAirBladderMsg(text, pt, type, AIRBLADDER_BELOW_POINT);
  m_pm.ShowAirBladder(TRUE, 0);
  return 1;
}

void MDialog::SetupRegion(int) {}

}  // namespace VELO
