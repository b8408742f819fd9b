#include "velo/paint/caret.h"

#include "common/win/unique_any.h"
#include "velo/plain/paint_rules.h"
#include "velo/render/mrender.h"

namespace VELO {

void Caret::Create(HBITMAP bitmap, int width, int height) noexcept {
  m_bitmap = bitmap;
  m_rect.right = m_rect.left + width;
  m_rect.bottom = m_rect.top + height;
}

CRect Caret::Show(HWND window, bool show) noexcept {
  m_on = show;
  m_visible = show;
  if (show) {
    // INFINITE: the user turned blinking off, the caret stays on.
    const UINT blink = ::GetCaretBlinkTime();
    if (blink != 0 && blink != INFINITE) ::SetTimer(window, render::kCaretTimerId, blink, nullptr);
  } else {
    ::KillTimer(window, render::kCaretTimerId);
  }
  return m_rect;
}

CRect Caret::MoveTo(MRichEdit* owner, int x, int y) noexcept {
  const int w = m_rect.Width() > 0 ? m_rect.Width() : 1;
  const int h = m_rect.Height() > 0 ? m_rect.Height() : 16;
  const CRect old = m_rect;
  m_owner = owner;
  m_rect = CRect(x, y, x + w, y + h);
  return old | m_rect;
}

CRect Caret::Blink() noexcept {
  m_visible = !m_visible;
  return m_rect;
}

void Caret::Stop(HWND window) noexcept {
  if (m_on) ::KillTimer(window, render::kCaretTimerId);
}

void Caret::Draw(HDC dc, const CRect& paint) const noexcept {
  if (!m_visible || m_rect.IsRectEmpty() || !m_rect.Intersects(paint)) return;
  if (m_bitmap) {
    ostrel::win::unique_hdc src = MRender::CreateCompatibleDC(dc);
    ostrel::win::scoped_select sel(src.get(), m_bitmap);
    ::BitBlt(dc, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), src.get(), 0, 0, SRCINVERT);
    return;
  }
  ::PatBlt(dc, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), DSTINVERT);
}

}  // namespace VELO
