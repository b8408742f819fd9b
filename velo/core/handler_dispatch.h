// DispatchToHandlers: turns a window message into a call of the window's own
// virtual On... handler, the first step of every skinned window's
// OnWindowMessage (MDialog, MPopupWnd, MAirBladder). Those classes declare
// the same handlers, but no common base carries them (their virtual tables
// are part of the library's exported interface), so the routing is one
// template over the window class instead of three copies of the switch.
//
// A window routes the messages only it handles, or answers differently,
// before calling this; what follows (paint manager, previous window
// procedure) is its own as well.
#pragma once

#include <windows.h>

#include <optional>

#include "velo/core/geometry.h"

namespace VELO {

// Posted by DoOK and its siblings; answered by OnUserCloseWindow.
constexpr UINT WM_VELO_USERCLOSE = WM_USER + 66;

// A value when the message is answered here and must go no further
// (WM_ERASEBKGND, the user-close message); otherwise the handler's result is
// dropped and the message goes on to the window's next step.
template <class Window>
std::optional<LRESULT> DispatchToHandlers(Window& window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const UINT keys = static_cast<UINT>(wParam);
  const CPoint pt = CPoint::FromLParam(lParam);
  switch (msg) {
    case WM_ERASEBKGND:
      // Every skinned window paints its whole client area itself.
      return 1;
    case WM_VELO_USERCLOSE:
      return window.OnUserCloseWindow(wParam, lParam);
    case WM_CREATE:
      window.OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
      break;
    case WM_DESTROY:
      window.OnDestroy();
      break;
    case WM_SIZE:
      window.OnSize(keys, static_cast<short>(LOWORD(lParam)), static_cast<int>(lParam) >> 16);
      break;
    case WM_PAINT:
      window.OnPaint();
      break;
    case WM_CLOSE:
      window.OnClose();
      break;
    case WM_WINDOWPOSCHANGING:
      window.OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case WM_WINDOWPOSCHANGED:
      window.OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case WM_NCACTIVATE:
      window.OnNcActivate(static_cast<BOOL>(wParam));
      break;
    case WM_TIMER:
      window.OnTimer(static_cast<UINT>(wParam));
      break;
    case WM_MOUSEMOVE:
      window.OnMouseMove(keys, pt);
      break;
    case WM_LBUTTONDOWN:
      window.OnLButtonDown(keys, pt);
      break;
    case WM_LBUTTONUP:
      window.OnLButtonUp(keys, pt);
      break;
    case WM_LBUTTONDBLCLK:
      window.OnLButtonDblClk(keys, pt);
      break;
    case WM_RBUTTONDOWN:
      window.OnRButtonDown(keys, pt);
      break;
    case WM_RBUTTONUP:
      window.OnRButtonUp(keys, pt);
      break;
    case WM_RBUTTONDBLCLK:
      window.OnRButtonDblClk(keys, pt);
      break;
    case WM_MOUSEHOVER:
      window.OnMouseHover(keys, lParam);
      break;
    case WM_MOUSELEAVE:
      window.OnMouseLeave(keys, lParam);
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace VELO
