// MWindow: one native window bound to one object. Registers (or superclasses)
// the window class, creates the window with the object as creation
// parameter, routes every message of the window to the virtual
// OnWindowMessage, runs a modal loop, and forwards the common window
// functions with a check of the handle.
//
// The object must outlive its window's modal loop; the window procedure never
// deletes it (OnDestroyMessage is the hook for a class that wants to). The
// destructor leaves the native window alive but unbound: its later messages
// no longer reach the object.
#pragma once

#include <windows.h>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/velo_api.h"

namespace VELO {

class VELO_API MWindow {
 public:
  MWindow() noexcept = default;
  // A copy shares the handle; only the original is bound to the window.
  MWindow(const MWindow&) noexcept = default;
  MWindow& operator=(const MWindow&) noexcept = default;
  virtual ~MWindow();

  virtual LPCWSTR GetWindowClassName() const;
  // Name of an existing class to superclass, or null.
  virtual LPCWSTR GetSuperClassName() const;
  virtual BOOL ShowWindow(int nCmdShow);
  // Unhandled messages go to the previous window procedure.
  virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Nonzero: the message of the modal loop is consumed (not dispatched).
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Called once right after CreateWindowExW, even when it failed.
  virtual BOOL OnInitDialog();
  // Called after WM_NCDESTROY, when the object is no longer bound.
  virtual void OnDestroyMessage(HWND hwnd);

  BOOL RegisterWindowClass();
  BOOL RegisterSuperClass();

  // On a live window these return its handle and create nothing.
  HWND Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, CRect rc, HMENU menu);
  HWND Create(HWND parent);
  HWND Create(HWND parent, CRect rc);
  HWND Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, CRect rc);

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  // For superclassed native controls: the object lives in the window
  // property "Control" instead of the user data.
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

  // Runs until the window is gone or WM_QUIT arrives (which is posted again
  // for the outer loop). Returns the wParam of the last WM_CLOSE posted to
  // the window, 0 when it was closed otherwise, 0xFFFFFFFF without a window.
  // The owner is disabled meanwhile and re-enabled before the window goes.
  UINT ShowModal(int nCmdShow = SW_SHOWNORMAL);

  void CenterWindow(MWindow* pAlternateOwner = nullptr);
  void BringToTop();
  // Big and small icon from the Manager's module.
  void SetIcon(UINT resourceId);

  HWND GetSafeHwnd() const;
  HWND GetParentHwnd() const;
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  // new = (old & ~remove) | add. 0 when nothing changed; a nonzero swpFlags
  // also applies the frame change with SetWindowPos.
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  BOOL ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  BOOL GetClientRect(LPRECT rect) const;
  BOOL GetWindowRect(LPRECT rect) const;
  BOOL SetWindowTextW(LPCWSTR text);
  int GetWindowTextW(CString& text) const;
  // -1 without a window.
  int GetWindowTextLengthW() const;
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL IsWindowVisible() const;
  BOOL IsIconic() const;
  BOOL InvalidateRect(CRect rect, BOOL erase = TRUE);
  HWND SetCapture();
  BOOL ReleaseCapture();
  HWND SetFocus();
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
  BOOL KillTimer(UINT_PTR id);
  BOOL ClientToScreen(LPPOINT point) const;
  BOOL ClientToScreen(LPRECT rect) const;
  BOOL ScreenToClient(LPPOINT point) const;
  BOOL ScreenToClient(LPRECT rect) const;
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  BOOL MoveWindow(const RECT* rect, BOOL repaint = TRUE);
  BOOL DestroyWindow();
  LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  // The handle is neither null nor -1 (no check that the window exists).
  bool HoldsHandle() const noexcept;
  // The handle names a window that exists.
  bool IsLive() const noexcept;

  HWND m_hParentWnd = nullptr;
  HWND m_hWnd = nullptr;
  WNDPROC m_OldWndProc = ::DefWindowProcW;

 private:
  template <typename Binding>
  static LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
};

}  // namespace VELO
