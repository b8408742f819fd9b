// What the paint manager offers its controls beside painting and input:
// caches, timers, the overlay, shadow settings, tooltip, balloon tip and
// caret. Each forwards to the collaborator that owns the state.
#include <ole2.h>

#include "velo/core/manager.h"
#include "velo/core/mcontrol.h"
#include "velo/paint/paint_manager.h"
#include "velo/plain/paint_rules.h"
#include "velo/shadow/mshadow.h"

namespace VELO {
namespace {
std::atomic<BalloonFactory> g_balloonFactory{nullptr};
}

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* name, int frames) {
  return m_images.AddFile(name, frames);
}

ImgResInfo* PaintManager::AddImgResInfo(UINT id, CString type, int frames, BOOL applicationModule) {
  return m_images.AddResource(id, type, frames, applicationModule != FALSE);
}

void PaintManager::ClearImgResInfo() noexcept { m_images.Clear(); }

BOOL PaintManager::AddGDITempFont(UINT id) noexcept { return m_fonts.AddMemoryFont(id) ? TRUE : FALSE; }

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* name, const wchar_t* file) {
  return m_fonts.AddFile(name, file);
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* name, UINT id) {
  return m_fonts.AddResource(name, id);
}

Gdiplus::FontFamily* PaintManager::FindTempFont(const wchar_t* name) { return m_fonts.Find(name); }

void PaintManager::ClearTempFont() noexcept { m_fonts.Clear(); }

BOOL PaintManager::SetTimer(MControl* control, UINT id, UINT elapse) noexcept {
  return Live() ? m_windowTimers.Set(m_hWnd, control, id, elapse) : FALSE;
}

BOOL PaintManager::KillTimer(MControl* control, UINT id) noexcept {
  return m_windowTimers.Kill(m_hWnd, control, id);
}

void PaintManager::KillTimer(MControl* control) noexcept { m_windowTimers.Kill(m_hWnd, control); }

UINT PaintManager::GetWindowTimerID(MControl* control, UINT id) noexcept {
  return m_windowTimers.WindowIdOf(control, id);
}

void PaintManager::ClearTimers() noexcept { m_windowTimers.Clear(m_hWnd); }

void PaintManager::OnTimer(UINT_PTR id) {
  const auto timerId = static_cast<UINT>(id);
  if (timerId == render::kCaretTimerId) {
    InvalidateRect(m_caret.Blink(), FALSE);
    return;
  }
  if (m_overlay.OnTimer(timerId)) return;
  for (const ControlRef& ref : m_windowTimers.Due(m_hWnd, timerId)) {
    if (MControl* c = ref.Get()) c->OnTimer();
  }
}

UINT PaintManager::SetMTimer(UINT elapse) noexcept {
  const UINT id = RKTimer::SetTimer(elapse, CString(), 0);
  m_uMTimerID = id;
  return id;
}

void PaintManager::KillMTimer(UINT id) noexcept { RKTimer::KillTimer(id); }

void PaintManager::KillMTimer() noexcept { RKTimer::KillTimer(); }

int PaintManager::AddMTimer(MControl* control) { return m_ticker.Add(control); }

BOOL PaintManager::DeleteFSTimer(MControl* control) { return m_ticker.Remove(control) ? TRUE : FALSE; }

void PaintManager::OnMTimer(UINT id) {
  if (id == 0 || id != m_uMTimerID) return;
  m_ticker.Tick();
}

void PaintManager::SetMessage(CString text, CRect rc, MsgLevel level) {
  m_overlay.SetMessage(text, rc, level);
}

void PaintManager::SetProgress(int percent, CString text, CRect rc) {
  m_overlay.SetProgress(percent, text, rc);
}

void PaintManager::CreateShadow(BOOL show, bool flag) noexcept {
  m_shadow.created = 1;
  m_shadow.show = show ? 1 : 0;
  m_shadow.flag = flag;
  ++m_shadow.revision;
  MShadow::Initialize(Manager::m_hInstance, flag);
  GetShadow().ShowShadow(show);
  GetShadow().Create(this);
}
void PaintManager::SetSize(int size) noexcept {
  m_shadow.size = size;
  ++m_shadow.revision;
  GetShadow().SetSize(size);
}
void PaintManager::SetSharpness(UINT sharpness) noexcept {
  m_shadow.sharpness = sharpness;
  ++m_shadow.revision;
  GetShadow().SetSharpness(sharpness);
}
void PaintManager::SetDarkness(UINT darkness) noexcept {
  m_shadow.darkness = darkness;
  ++m_shadow.revision;
  GetShadow().SetDarkness(darkness);
}
void PaintManager::SetPosition(int x, int y) noexcept {
  m_shadow.x = x;
  m_shadow.y = y;
  ++m_shadow.revision;
  GetShadow().SetPosition(x, y);
}
void PaintManager::SetShadowColor(COLORREF color) noexcept {
  m_shadow.color = color;
  ++m_shadow.revision;
  GetShadow().SetColor(color);
}
void PaintManager::SetShadowImage(const wchar_t* name, CRect corners) {
  m_shadow.imageName = name;
  m_shadow.imageId = 0;
  m_shadow.imageCorners = corners;
  ++m_shadow.revision;
  // Margins first, so the image is drawn once, with them.
  GetShadow().SetShadowCorner(corners);
  GetShadow().SetImage(name);
}
void PaintManager::SetShadowImage(UINT id, CRect corners) noexcept {
  m_shadow.imageName.Empty();
  m_shadow.imageId = id;
  m_shadow.imageCorners = corners;
  ++m_shadow.revision;
  GetShadow().SetShadowCorner(corners);
  GetShadow().SetImage(id);
}
void PaintManager::SetShadowShow(BOOL show) noexcept {
  m_shadow.show = show ? 1 : 0;
  ++m_shadow.revision;
  GetShadow().ShowShadow(show);
  if (show && m_shadow.created) GetShadow().Create(this);
}
void PaintManager::DisableShadow(BOOL disable) noexcept {
  m_shadow.disabled = disable ? 1 : 0;
  ++m_shadow.revision;
  GetShadow().DisableShadow(disable);
}

MShadow& PaintManager::GetShadow() {
  if (!m_pShadowWnd) m_pShadowWnd = std::make_unique<MShadow>();
  return *m_pShadowWnd;
}

void PaintManager::SetTooltip(const wchar_t* text, CRect rc) { m_tooltip.Set(m_hWnd, text, rc); }

void PaintManager::ClearTooltip() {
  m_tooltip.Clear();
  m_tooltip.m_ownerId = 0;
}

void PaintManager::SetBalloonFactory(BalloonFactory factory) noexcept { g_balloonFactory = factory; }

void PaintManager::SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type,
                                    AIRBLADDER_MODE mode) {
  if (!m_balloon) {
    const BalloonFactory factory = g_balloonFactory;
    if (!factory || !Live()) return;
    m_balloon = factory(m_hWnd);
    if (!m_balloon) return;
    m_balloon->LoadImages(L"img_tip_bk.png", L"img_tip_arrow_left.png", L"img_tip_arrow_right.png",
                          L"img_tip_arrow_top.png");
  }
  m_balloon->SetMessage(CString(text), pt, type, mode);
}

BOOL PaintManager::ShowAirBladder(BOOL show, int ownerId) {
  if (!m_balloon) return FALSE;
  if (ownerId != 0) {
    if (show) {
      m_nBalloonOwner = ownerId;
    } else if (ownerId != m_nBalloonOwner) {
      return FALSE;
    }
  }
  return m_balloon->Show(show);
}

void PaintManager::CreateCaret(HBITMAP bitmap, int width, int height) noexcept {
  m_caret.Create(bitmap, width, height);
}

void PaintManager::ShowCaret(BOOL show) noexcept {
  if (Live()) InvalidateRect(m_caret.Show(m_hWnd, show != FALSE), FALSE);
}

void PaintManager::SetCaretPos(MRichEdit* owner, int x, int y) noexcept {
  InvalidateRect(m_caret.MoveTo(owner, x, y), FALSE);
}

}  // namespace VELO
