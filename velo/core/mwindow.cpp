#include "velo/core/mwindow.h"

#include "common/swallowed_failure.h"
#include "velo/core/manager.h"
#include "velo/plain/lifetime_watch.h"

namespace VELO {
namespace {

constexpr wchar_t kControlProperty[] = L"Control";

// Where the two window procedures keep the object of a window.
struct UserDataBinding {
  static MWindow* Get(HWND hwnd) noexcept {
    return reinterpret_cast<MWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  // The whole pointer: GWL_USERDATA through SetWindowLongW would cut a
  // 64-bit address in half.
  static void Set(HWND hwnd, MWindow* object) noexcept {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  }
  static void Clear(HWND hwnd) noexcept { ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); }
};

struct PropertyBinding {
  static MWindow* Get(HWND hwnd) noexcept {
    return static_cast<MWindow*>(::GetPropW(hwnd, kControlProperty));
  }
  static void Set(HWND hwnd, MWindow* object) noexcept { ::SetPropW(hwnd, kControlProperty, object); }
  static void Clear(HWND hwnd) noexcept { ::RemovePropW(hwnd, kControlProperty); }
};

void ReturnFocusToOwner(HWND owner) noexcept {
  if (!owner) return;
  ::EnableWindow(owner, TRUE);
  ::SetFocus(owner);
}

}  // namespace

// The native window may outlive its object (the destructor leaves it
// alone): unbind it, or its next message would call into freed memory. A
// superclassed control goes on with its own class's procedure. A copy, which
// shares the handle but not the binding, leaves the original's binding alone.
MWindow::~MWindow() {
  // A modal loop or handler further up the stack may still hold this object.
  render::LifetimeWatch::Ended(this);
  if (!IsLive()) return;
  if (PropertyBinding::Get(m_hWnd) == this) {
    PropertyBinding::Clear(m_hWnd);
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
  } else if (UserDataBinding::Get(m_hWnd) == this) {
    UserDataBinding::Clear(m_hWnd);
  }
}

LPCWSTR MWindow::GetWindowClassName() const { return L"VELOWindow"; }

LPCWSTR MWindow::GetSuperClassName() const { return nullptr; }

BOOL MWindow::ShowWindow(int nCmdShow) {
  if (!HoldsHandle()) return FALSE;
  return ::ShowWindow(m_hWnd, nCmdShow);
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_OldWndProc, m_hWnd, msg, wParam, lParam);
}

BOOL MWindow::PreTranslateMessage(MSG*) { return FALSE; }

BOOL MWindow::OnInitDialog() { return TRUE; }

void MWindow::OnDestroyMessage(HWND) {}

BOOL MWindow::RegisterWindowClass() {
  WNDCLASSW wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = &MWindow::WndProc;
  wc.hInstance = Manager::GetInstance();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = GetWindowClassName();
  if (::RegisterClassW(&wc)) return TRUE;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

BOOL MWindow::RegisterSuperClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  const LPCWSTR super = GetSuperClassName();
  if (!::GetClassInfoExW(nullptr, super, &wc) && !::GetClassInfoExW(Manager::GetInstance(), super, &wc)) {
    return FALSE;
  }
  m_OldWndProc = wc.lpfnWndProc;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &MWindow::ControlProc;
  wc.hInstance = Manager::GetInstance();
  wc.lpszClassName = GetWindowClassName();
  if (::RegisterClassExW(&wc)) return TRUE;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND MWindow::Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, CRect rc, HMENU menu) {
  if (IsLive()) return m_hWnd;
  m_hParentWnd = parent;
  const BOOL registered = GetSuperClassName() ? RegisterSuperClass() : RegisterWindowClass();
  if (!registered) return nullptr;
  // WM_NCCREATE binds the handle before this returns; the assignment also
  // drops a stale handle when creation failed.
  m_hWnd = ::CreateWindowExW(exStyle, GetWindowClassName(), title, style, rc.left, rc.top, rc.Width(),
                             rc.Height(), parent, menu, Manager::GetInstance(), this);
  OnInitDialog();
  return m_hWnd;
}

HWND MWindow::Create(HWND parent) { return Create(parent, CRect(0, 0, 800, 600)); }

HWND MWindow::Create(HWND parent, CRect rc) { return Create(parent, L"MWindow", 0x0000080B, 0, rc, nullptr); }

HWND MWindow::Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, CRect rc) {
  return Create(parent, title, style, exStyle, rc, nullptr);
}

// Both window procedures, differing only in where the object is kept.
template <typename Binding>
LRESULT MWindow::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  MWindow* self = nullptr;
  try {
    if (msg == WM_NCCREATE) {
      self = static_cast<MWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      if (self) {
        self->m_hWnd = hwnd;
        Binding::Set(hwnd, self);
      }
    } else {
      self = Binding::Get(hwnd);
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg != WM_NCDESTROY) return self->OnWindowMessage(msg, wParam, lParam);
    const LRESULT result = ::CallWindowProcW(self->m_OldWndProc, hwnd, msg, wParam, lParam);
    Binding::Clear(hwnd);
    self->m_hWnd = nullptr;
    // May delete the object: nothing touches it afterwards.
    self->OnDestroyMessage(hwnd);
    return result;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    // A handler's exception must not unwind through the system's frames.
    return 0;
  }
}

LRESULT CALLBACK MWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  return Dispatch<UserDataBinding>(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  return Dispatch<PropertyBinding>(hwnd, msg, wParam, lParam);
}

UINT MWindow::ShowModal(int nCmdShow) {
  if (!IsLive()) return 0xFFFFFFFFu;
  UINT result = 0;
  const HWND hwnd = m_hWnd;
  const HWND owner = ::GetWindow(hwnd, GW_OWNER);
  // A handler may delete this object (or a nested loop may): from then on
  // the loop works only with its own locals.
  render::LifetimeWatch alive(this);
  ::ShowWindow(hwnd, nCmdShow);
  if (owner) ::EnableWindow(owner, FALSE);
  MSG msg{};
  bool quit = false;
  // The handle is read again every turn: WM_NCDESTROY clears it.
  while (alive.Alive() && m_hWnd && ::IsWindow(m_hWnd)) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      break;
    }
    // -1 is a failure, not a message: looping on it would spin for ever.
    if (got == -1) break;
    if (msg.message == WM_CLOSE && msg.hwnd == hwnd) {
      result = static_cast<UINT>(msg.wParam);
      // Before the window goes, or the system activates some other window.
      ReturnFocusToOwner(owner);
    }
    // GetMessageW runs sent messages, whose handlers may have deleted us.
    if (!alive.Alive() || !PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  ReturnFocusToOwner(owner);
  if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
  return result;
}

}  // namespace VELO
