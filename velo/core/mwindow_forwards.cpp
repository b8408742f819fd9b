#include <vector>

#include "velo/core/mwindow.h"

namespace VELO {

bool MWindow::HoldsHandle() const noexcept { return m_hWnd && m_hWnd != reinterpret_cast<HWND>(-1); }

bool MWindow::IsLive() const noexcept { return HoldsHandle() && ::IsWindow(m_hWnd); }

HWND MWindow::GetSafeHwnd() const { return IsLive() ? m_hWnd : nullptr; }

HWND MWindow::GetParentHwnd() const { return IsLive() ? m_hParentWnd : nullptr; }

DWORD MWindow::GetStyle() const {
  return HoldsHandle() ? static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)) : 0;
}

DWORD MWindow::GetExStyle() const {
  return HoldsHandle() ? static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)) : 0;
}

namespace {

BOOL ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags) noexcept {
  const auto old = static_cast<DWORD>(::GetWindowLongW(hwnd, index));
  const DWORD changed = (old & ~remove) | add;
  if (changed == old) return FALSE;
  ::SetWindowLongW(hwnd, index, static_cast<LONG>(changed));
  if (swpFlags) {
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return TRUE;
}

}  // namespace

BOOL MWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
  return HoldsHandle() ? ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags) : FALSE;
}

BOOL MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags) {
  return HoldsHandle() ? ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags) : FALSE;
}

BOOL MWindow::GetClientRect(LPRECT rect) const { return IsLive() ? ::GetClientRect(m_hWnd, rect) : FALSE; }

BOOL MWindow::GetWindowRect(LPRECT rect) const { return IsLive() ? ::GetWindowRect(m_hWnd, rect) : FALSE; }

BOOL MWindow::SetWindowTextW(LPCWSTR text) { return IsLive() ? ::SetWindowTextW(m_hWnd, text) : FALSE; }

int MWindow::GetWindowTextW(CString& text) const {
  text.Empty();
  if (!IsLive()) return 0;
  const int length = ::GetWindowTextLengthW(m_hWnd);
  if (length <= 0) return 0;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
  text = CString(buffer.data(), copied);
  return copied;
}

int MWindow::GetWindowTextLengthW() const { return IsLive() ? ::GetWindowTextLengthW(m_hWnd) : -1; }

BOOL MWindow::EnableWindow(BOOL enable) { return IsLive() ? ::EnableWindow(m_hWnd, enable) : FALSE; }

BOOL MWindow::IsWindowEnabled() const { return IsLive() ? ::IsWindowEnabled(m_hWnd) : FALSE; }

BOOL MWindow::IsWindowVisible() const { return IsLive() ? ::IsWindowVisible(m_hWnd) : FALSE; }

BOOL MWindow::IsIconic() const { return IsLive() ? ::IsIconic(m_hWnd) : FALSE; }

BOOL MWindow::InvalidateRect(CRect rect, BOOL erase) {
  return IsLive() ? ::InvalidateRect(m_hWnd, &rect, erase) : FALSE;
}

HWND MWindow::SetCapture() { return IsLive() ? ::SetCapture(m_hWnd) : nullptr; }

BOOL MWindow::ReleaseCapture() { return IsLive() ? ::ReleaseCapture() : FALSE; }

HWND MWindow::SetFocus() { return IsLive() ? ::SetFocus(m_hWnd) : nullptr; }

UINT_PTR MWindow::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) {
  return IsLive() ? ::SetTimer(m_hWnd, id, elapse, proc) : 0;
}

BOOL MWindow::KillTimer(UINT_PTR id) { return IsLive() ? ::KillTimer(m_hWnd, id) : FALSE; }

BOOL MWindow::ClientToScreen(LPPOINT point) const {
  return IsLive() ? ::ClientToScreen(m_hWnd, point) : FALSE;
}

BOOL MWindow::ClientToScreen(LPRECT rect) const {
  if (!IsLive()) return FALSE;
  auto* corners = reinterpret_cast<POINT*>(rect);
  return ::ClientToScreen(m_hWnd, &corners[0]) && ::ClientToScreen(m_hWnd, &corners[1]);
}

BOOL MWindow::ScreenToClient(LPPOINT point) const {
  return IsLive() ? ::ScreenToClient(m_hWnd, point) : FALSE;
}

BOOL MWindow::ScreenToClient(LPRECT rect) const {
  if (!IsLive()) return FALSE;
  auto* corners = reinterpret_cast<POINT*>(rect);
  return ::ScreenToClient(m_hWnd, &corners[0]) && ::ScreenToClient(m_hWnd, &corners[1]);
}

BOOL MWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return IsLive() ? ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags) : FALSE;
}

BOOL MWindow::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  return IsLive() ? ::MoveWindow(m_hWnd, x, y, width, height, repaint) : FALSE;
}

BOOL MWindow::MoveWindow(const RECT* rect, BOOL repaint) {
  if (!rect) return FALSE;
  return MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL MWindow::DestroyWindow() { return IsLive() ? ::DestroyWindow(m_hWnd) : FALSE; }

LRESULT MWindow::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
  return HoldsHandle() ? ::SendMessageW(m_hWnd, msg, wParam, lParam) : 0;
}

BOOL MWindow::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
  return HoldsHandle() ? ::PostMessageW(m_hWnd, msg, wParam, lParam) : FALSE;
}

}  // namespace VELO
