#include "velo/paint/paint_manager.h"

#include <algorithm>

#include "velo/controls/control_factory.h"
#include "velo/core/manager.h"
#include "velo/core/mcontrol.h"
#include "velo/render/math/paint_rules.h"
#include "velo/render/mrender.h"
#include "velo/shadow/mshadow.h"

namespace VELO {
namespace {
constexpr UINT kLibraryFontId = 106;
constexpr UINT kReflectOffset = 0x2000;
}  // namespace

class PaintManager::DispatchScope {
 public:
  explicit DispatchScope(PaintManager* pm) noexcept : pm_(pm) { ++pm_->m_nDispatchDepth; }
  ~DispatchScope() {
    if (--pm_->m_nDispatchDepth == 0) pm_->FlushDelayed();
  }
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;

 private:
  PaintManager* pm_;
};

PaintManager::PaintManager() noexcept = default;

PaintManager::~PaintManager() {
  // Ticks run on the timer thread: stop them before any member goes.
  RKTimer::KillTimer();
  DestroyData();
  m_tooltip.Destroy();
  m_balloon.reset();
  ClearAllControls();
  FlushDelayed();
}

void PaintManager::Init(HWND window, MWindow* dialog) noexcept {
  if (!window || !::IsWindow(window)) return;
  if (window != m_hWnd) {
    if (m_hDC && m_hWnd) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = ::GetDC(window);
  }
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

MControl* PaintManager::CreateControl(MObject* owner, const wchar_t* className, UINT id, CRect rc,
                                      const wchar_t* text, BOOL visible, BOOL enabled) {
  return CreateControl(1, owner, className, id, rc, text, visible, enabled);
}

MControl* PaintManager::CreateArea(MObject* owner, const wchar_t* className, UINT id, CRect rc,
                                   const wchar_t* text, BOOL visible, BOOL enabled) {
  return CreateControl(0, owner, className, id, rc, text, visible, enabled);
}

MControl* PaintManager::CreateControl(UINT list, MObject* owner, const wchar_t* className, UINT id, CRect rc,
                                      const wchar_t* text, BOOL visible, BOOL enabled) {
  std::unique_ptr<MControl> control = MakeControl(className, owner, id, rc, text, visible, enabled);
  if (!control) return nullptr;
  control->SetManager(this);
  control->InitControl(this);
  if (list > 1) return control.release();
  return AddControl(std::move(control), list);
}

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control, UINT list) {
  if (!control || list > 1) return nullptr;
  if (!control->GetHost()) control->SetManager(this);
  MControl* borrowed = control.get();
  CriticalSectionGuard guard(list == 0 ? m_areaLock : m_controlLock);
  (list == 0 ? m_areas : m_controls).push_back(std::move(control));
  return borrowed;
}

MControl* PaintManager::GetControl(UINT id) {
  for (const bool areas : {false, true}) {
    for (const ControlRef& ref : Snapshot(areas)) {
      MControl* c = ref.Get();
      if (!c) continue;
      if (c->GetControlID() == id) return c;
      if (MControl* found = c->GetControl(id)) return found;
    }
  }
  return nullptr;
}

std::vector<ControlRef> PaintManager::Snapshot(bool areas) {
  std::vector<ControlRef> out;
  CriticalSectionGuard guard(areas ? m_areaLock : m_controlLock);
  const auto& list = areas ? m_areas : m_controls;
  out.reserve(list.size());
  for (const auto& c : list) out.emplace_back(c.get());
  return out;
}

std::vector<MControl*> PaintManager::GetControls() {
  std::vector<MControl*> out;
  for (const ControlRef& r : Snapshot(false)) out.push_back(r.Address());
  return out;
}

std::vector<MControl*> PaintManager::GetAreaControls() {
  std::vector<MControl*> out;
  for (const ControlRef& r : Snapshot(true)) out.push_back(r.Address());
  return out;
}

bool PaintManager::DeferDestroy(std::unique_ptr<MControl>& control) {
  if (m_nDispatchDepth == 0 || !control) return false;
  try {
    m_delayed.push_back(std::move(control));
  } catch (...) {
    return false;
  }
  return true;
}

void PaintManager::FlushDelayed() noexcept {
  // A destructor may remove further controls: take the list each turn.
  while (!m_delayed.empty()) {
    auto batch = std::exchange(m_delayed, {});
    for (auto& c : batch) {
      c->Detach();
      c.reset();
    }
  }
}

void PaintManager::RemoveControl(MControl* control) {
  if (!control) return;
  std::unique_ptr<MControl> removed;
  {
    CriticalSectionGuard guard(m_controlLock);
    auto it = std::find_if(m_controls.begin(), m_controls.end(),
                           [control](const std::unique_ptr<MControl>& c) { return c.get() == control; });
    if (it == m_controls.end()) return;
    removed = std::move(*it);
    m_controls.erase(it);
  }
  if (m_focus.Address() == control) SetFocusControl(nullptr);
  removed->MarkDetached();
  if (!DeferDestroy(removed)) {
    removed->Detach();
    removed.reset();
  }
}

namespace {
void DestroyList(std::vector<std::unique_ptr<MControl>> list, ControlHost* host) {
  for (auto& c : list) {
    c->MarkDetached();
    if (!host->DeferDestroy(c)) {
      c->Detach();
      c.reset();
    }
  }
}
}  // namespace

void PaintManager::ClearControls() {
  std::vector<std::unique_ptr<MControl>> list;
  {
    CriticalSectionGuard guard(m_controlLock);
    list.swap(m_controls);
  }
  DestroyList(std::move(list), this);
}

void PaintManager::ClearAreaControls() {
  std::vector<std::unique_ptr<MControl>> list;
  {
    CriticalSectionGuard guard(m_areaLock);
    list.swap(m_areas);
  }
  DestroyList(std::move(list), this);
}

void PaintManager::ClearAllControls() {
  ClearAreaControls();
  ClearControls();
}

LRESULT PaintManager::OnControlUpdate(CRect rc, int resetCache, MControl* control) {
  if (!control) return 0;
  if (resetCache) control->SetUpdate(0, m_crFill);
  CRect area = rc;
  if (m_bInitialized) {
    bool passed = false;
    for (const bool areas : {true, false}) {
      for (const ControlRef& ref : Snapshot(areas)) {
        MControl* c = ref.Get();
        if (!c) continue;
        if (c == control) {
          passed = true;
          continue;
        }
        if (passed && c->IsVisible() && c->GetRect().Intersects(rc)) {
          c->SetUpdate(0, m_crFill);
          area = area | c->GetRect();
        }
      }
    }
  }
  if (Live()) {
    if (m_bLayered) {
      ::InvalidateRect(m_hWnd, nullptr, TRUE);
    } else {
      ::InvalidateRect(m_hWnd, &area, FALSE);
    }
  }
  return 0;
}

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  DispatchScope scope(this);
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
  if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
  m_hDC = nullptr;
  RKTimer::KillTimer();
  m_uMTimerID = 0;
  m_ticker.Clear();
  ClearTimers();
  m_overlay.Stop();
  if (m_bCaretOn && Live()) ::KillTimer(m_hWnd, render::kCaretTimerId);
  ClearAllControls();
  ClearImgResInfo();
  ClearTempFont();
  Revoke();
}

}  // namespace VELO
