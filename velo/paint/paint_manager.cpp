#include "velo/paint/paint_manager.h"

#include "velo/core/manager.h"
#include "velo/core/mcontrol.h"
#include "velo/plain/paint_rules.h"
#include "velo/render/mrender.h"
#include "velo/shadow/mshadow.h"

namespace VELO {
namespace {
constexpr UINT kLibraryFontId = 106;
constexpr UINT kReflectOffset = 0x2000;
}  // namespace

PaintManager::PaintManager() noexcept = default;

PaintManager::~PaintManager() {
  // Ticks run on the timer thread: stop them before any member goes.
  RKTimer::KillTimer();
  DestroyData();
  m_tooltip.Destroy();
  m_balloon.reset();
  ClearAllControls();
  m_lists.FlushDelayed();
}

void PaintManager::Init(HWND window, MWindow* dialog) noexcept {
  if (!window || !::IsWindow(window)) return;
  if (window != m_hWnd) m_hDC = ostrel::win::unique_window_dc(window);
  m_hWnd = window;
  m_pDialog = dialog;
  m_overlay.Bind(window, &m_bLayered);
  Register(window);
  m_bInitialized = 1;
  m_uScrollV = 102;
  m_uScrollH = 101;
  // Once per binding: Init again on the same window must not register the
  // font a second time.
  if (m_fonts.MemoryFontCount() == 0) AddGDITempFont(kLibraryFontId);
}

void PaintManager::Invalidate() noexcept {
  if (Live()) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rc, BOOL erase) noexcept {
  if (!Live()) return;
  if (m_bLayered) {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
  } else {
    ::InvalidateRect(m_hWnd, &rc, erase);
  }
}

void PaintManager::GetClientRect(CRect& rc) const noexcept {
  rc = CRect();
  if (Live()) ::GetClientRect(m_hWnd, &rc);
}

void PaintManager::GetWindowRect(CRect& rc) const noexcept {
  rc = CRect();
  if (Live()) ::GetWindowRect(m_hWnd, &rc);
}

void PaintManager::GetClientSize(int& cx, int& cy) const noexcept {
  CRect rc;
  GetClientRect(rc);
  cx = rc.Width();
  cy = rc.Height();
}

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  return Live() ? ::SendMessageW(m_hWnd, msg, wParam, lParam) : 0;
}

BOOL PaintManager::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  return Live() ? ::PostMessageW(m_hWnd, msg, wParam, lParam) : FALSE;
}

void PaintManager::SetCapture() noexcept {
  if (Live()) ::SetCapture(m_hWnd);
}

void PaintManager::ReleaseCapture() noexcept {
  if (Live()) ::ReleaseCapture();
}

BOOL PaintManager::LoadBKImage(CString file) {
  m_background.Reset();
  m_pBkImage = MRender::LoadImageFromFile(Manager::GetSkinPath() + file);
  m_nBkWidth = m_pBkImage ? static_cast<int>(m_pBkImage->GetWidth()) : 0;
  m_nBkHeight = m_pBkImage ? static_cast<int>(m_pBkImage->GetHeight()) : 0;
  return m_pBkImage ? TRUE : FALSE;
}

BOOL PaintManager::LoadBKImage(UINT id, CString type) {
  m_background.Reset();
  m_pBkImage = MRender::LoadImageFromIDResource(id, type, Manager::GetInstance());
  m_nBkWidth = m_pBkImage ? static_cast<int>(m_pBkImage->GetWidth()) : 0;
  m_nBkHeight = m_pBkImage ? static_cast<int>(m_pBkImage->GetHeight()) : 0;
  return m_pBkImage ? TRUE : FALSE;
}

void PaintManager::SetBackMode(enumBackMode mode, int corner) noexcept {
  m_backMode = mode;
  m_nBackCorner = corner;
}

void PaintManager::SetBackColor(COLORREF fill, COLORREF border) noexcept {
  m_crFill = fill;
  m_crBorder = border;
}

void PaintManager::SetWindowMaxSize(int cx, int cy) noexcept {
  m_nMaxCx = cx;
  m_nMaxCy = cy;
}

void PaintManager::SetWindowMixSize(int cx, int cy) noexcept {
  m_nMinCx = cx;
  m_nMinCy = cy;
}

void PaintManager::GetWindowMinSize(int& cx, int& cy) const noexcept {
  cx = m_nMinCx;
  cy = m_nMinCy;
}

void PaintManager::GetWindowManSize(int& cx, int& cy) const noexcept { GetWindowMinSize(cx, cy); }

void PaintManager::SetScrollResID(UINT vertical, UINT horizontal) noexcept {
  m_uScrollV = vertical;
  m_uScrollH = horizontal;
}

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const ControlLists::DispatchScope scope(m_lists);
  for (const ControlRef& ref : Snapshot(false)) {
    MControl* c = ref.Get();
    if (c && c->OnWindowMessage(msg, wParam, lParam)) return 0;
  }
  const CPoint pt = CPoint::FromLParam(lParam);
  const UINT keys = static_cast<UINT>(wParam);
  switch (msg) {
    case WM_PAINT:
      return OnPaint();
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
      return 1;
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
      return 1;
    case WM_NCDESTROY:
      DestroyData();
      return 1;
    case WM_NCACTIVATE:
      OnNcActivate(static_cast<BOOL>(wParam));
      return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      OnKeyDown(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
      return 1;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      OnKeyUp(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
      return 0;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      const auto child = reinterpret_cast<HWND>(lParam);
      if (child && ::IsWindow(child)) return ::SendMessageW(child, msg + kReflectOffset, wParam, lParam);
      return 0;
    }
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_MOUSEMOVE:
      return OnMouseMove(keys, pt);
    case WM_LBUTTONDOWN:
      return OnLButtonDown(keys, pt);
    case WM_LBUTTONUP:
      return OnLButtonUp(keys, pt);
    case WM_LBUTTONDBLCLK:
      return OnLButtonDblClk(keys, pt);
    case WM_RBUTTONDOWN:
      return OnRButtonDown(keys, pt);
    case WM_RBUTTONUP:
      return OnRButtonUp(keys, pt);
    case WM_RBUTTONDBLCLK:
      return OnRButtonDblClk(keys, pt);
    case WM_MOUSEWHEEL:
      return OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), pt);
    case WM_MOUSELEAVE:
      return OnMouseLeave();
    default:
      return 0;
  }
}

void PaintManager::OnGetMinMaxInfo(MINMAXINFO* info) noexcept {
  if (!info) return;
  if (m_nMinCx > 0 && m_nMinCy > 0) info->ptMinTrackSize = {m_nMinCx, m_nMinCy};
  if (m_nMaxCx > 0 && m_nMaxCy > 0) {
    info->ptMaxTrackSize = {m_nMaxCx, m_nMaxCy};
    info->ptMaxSize = {m_nMaxCx, m_nMaxCy};
  }
}

void PaintManager::OnDestroyMessage(HWND window) {
  if (window && window == m_hWnd) DestroyData();
}

void PaintManager::DestroyData() {
  if (!m_bInitialized) return;
  m_bInitialized = 0;
  m_background.Reset();
  m_pBkImage.reset();
  m_hDC.reset();
  RKTimer::KillTimer();
  m_uMTimerID = 0;
  m_ticker.Clear();
  ClearTimers();
  m_overlay.Stop();
  if (Live()) m_caret.Stop(m_hWnd);
  ClearAllControls();
  ClearImgResInfo();
  ClearTempFont();
  Revoke();
}

}  // namespace VELO
