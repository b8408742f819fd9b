// Input at window level, handed to the window's InputRouter; the Tab focus
// order and the tooltip's relay of mouse messages.
#include <windowsx.h>

#include "velo/core/mcontrol.h"
#include "velo/paint/paint_manager.h"
#include "velo/plain/paint_rules.h"

namespace VELO {
namespace {
bool Down(int vk) noexcept { return (::GetKeyState(vk) & 0x8000) != 0; }
}  // namespace

unsigned PaintManager::CurrentModifierCode() noexcept {
  return render::ModifierCode(Down(VK_MENU), Down(VK_SHIFT), Down(VK_CONTROL));
}

int PaintManager::OnMouseMove(UINT keys, CPoint pt) { return m_input.OnMouseMove(keys, pt); }
int PaintManager::OnMouseLeave() { return m_input.OnMouseLeave(); }
int PaintManager::OnLButtonDown(UINT keys, CPoint pt) { return m_input.ButtonDown(keys, pt, false); }
int PaintManager::OnLButtonUp(UINT keys, CPoint pt) { return m_input.ButtonUp(keys, pt, false); }
int PaintManager::OnLButtonDblClk(UINT keys, CPoint pt) { return m_input.DoubleClick(keys, pt, false); }
int PaintManager::OnRButtonDown(UINT keys, CPoint pt) { return m_input.ButtonDown(keys, pt, true); }
int PaintManager::OnRButtonUp(UINT keys, CPoint pt) { return m_input.ButtonUp(keys, pt, true); }
int PaintManager::OnRButtonDblClk(UINT keys, CPoint pt) { return m_input.DoubleClick(keys, pt, true); }
int PaintManager::OnKeyDown(UINT vk, UINT) { return m_input.OnKeyDown(vk, CurrentModifierCode()); }
int PaintManager::OnKeyUp(UINT, UINT) { return 0; }

int PaintManager::OnMouseWheel(UINT, int delta, CPoint screenPt) {
  CPoint pt = screenPt;
  if (Live()) ::ScreenToClient(m_hWnd, &pt);
  return m_input.OnMouseWheel(delta, pt);
}

void PaintManager::OnNcActivate(BOOL active) {
  m_input.OnNcActivate(active != FALSE);
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
    if ((code == 0 || code == 16) && next && next != m_input.Focus()) {
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

void PaintManager::SetFocusControl(MControl* control) { m_input.SetFocus(control); }
MControl* PaintManager::GetNextFocusableControl() { return m_input.FindFocusable(true); }
MControl* PaintManager::GetPrevFocusableControl() { return m_input.FindFocusable(false); }

}  // namespace VELO
