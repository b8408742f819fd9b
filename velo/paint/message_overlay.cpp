#include "velo/paint/message_overlay.h"

#include "velo/plain/paint_rules.h"

namespace VELO {

using render::kMessageFadeTimerId;
using render::kMessageHoldTimerId;
using render::kProgressTimerId;

void MessageOverlay::Invalidate() const noexcept {
  if (!Live()) return;
  if (m_pLayered && *m_pLayered) {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
  } else {
    ::InvalidateRect(m_hWnd, &m_rc, FALSE);
  }
}

void MessageOverlay::StartFade() noexcept {
  if (Live()) ::SetTimer(m_hWnd, kMessageFadeTimerId, 50, nullptr);
}

void MessageOverlay::Stop() noexcept {
  if (!Live()) return;
  ::KillTimer(m_hWnd, kMessageHoldTimerId);
  ::KillTimer(m_hWnd, kMessageFadeTimerId);
  ::KillTimer(m_hWnd, kProgressTimerId);
}

void MessageOverlay::SetMessage(const CString& text, CRect rc, MsgLevel level) {
  if (Live()) {
    ::KillTimer(m_hWnd, kMessageHoldTimerId);
    ::KillTimer(m_hWnd, kMessageFadeTimerId);
  }
  m_alpha = 255;
  m_text = text;
  m_level = level;
  m_progress = 0;
  m_rc = rc;
  Invalidate();
  if (Live()) ::SetTimer(m_hWnd, kMessageHoldTimerId, 3000, nullptr);
}

void MessageOverlay::SetProgress(int percent, const CString& text, CRect rc) {
  if (percent == m_target) return;
  if (percent < 5 && Live()) ::KillTimer(m_hWnd, kMessageFadeTimerId);
  m_alpha = 255;
  m_text = text;
  m_target = percent;
  if (rc.IsRectEmpty() && Live()) {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    rc = CRect(client.left, client.bottom - 60, client.right, client.bottom - 2);
  }
  m_rc = rc;
  if (render::ProgressJumps(m_progress, m_target)) {
    m_progress = m_target;
    Invalidate();
    if (m_progress >= 100) StartFade();
    return;
  }
  if (Live()) ::SetTimer(m_hWnd, kProgressTimerId, 10, nullptr);
}

bool MessageOverlay::OnTimer(UINT id) {
  switch (id) {
    case kMessageHoldTimerId:
      if (Live()) ::KillTimer(m_hWnd, kMessageHoldTimerId);
      StartFade();
      return true;
    case kMessageFadeTimerId: {
      const render::FadeStep step = render::NextFadeAlpha(m_alpha);
      m_alpha = step.alpha;
      if (step.finished) {
        m_progress = 0;
        if (Live()) ::KillTimer(m_hWnd, kMessageFadeTimerId);
      }
      Invalidate();
      return true;
    }
    case kProgressTimerId: {
      const render::ProgressStep step = render::NextProgress(m_progress, m_target);
      m_progress = step.progress;
      if (step.reached && Live()) ::KillTimer(m_hWnd, kProgressTimerId);
      Invalidate();
      if (step.reached && m_progress >= 100) StartFade();
      return true;
    }
    default:
      return false;
  }
}

void MessageOverlay::Draw(Gdiplus::Graphics& g, Gdiplus::FontFamily* family) const {
  if (!IsVisible()) return;
  const auto a = static_cast<Gdiplus::ARGB>(m_alpha) << 24;
  const CRect& r = m_rc;
  Gdiplus::SolidBrush outer(Gdiplus::Color(a | 0xE6E6E6));
  g.FillRectangle(&outer, static_cast<INT>(r.left), r.top, r.Width(), r.Height());
  Gdiplus::SolidBrush inner(Gdiplus::Color(a | 0xFEFEFE));
  g.FillRectangle(&inner, static_cast<INT>(r.left + 2), r.top + 2, r.Width() - 4, r.Height() - 4);

  Gdiplus::StringFormat format;
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  Gdiplus::SolidBrush ink(Gdiplus::Color(a | 0x050505));
  if (family) {
    Gdiplus::Font font(family, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    if (m_progress <= 0) {
      format.SetAlignment(Gdiplus::StringAlignmentNear);
      const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(r.left + 5), static_cast<Gdiplus::REAL>(r.top + 5),
                               190.0f, 50.0f);
      g.DrawString(m_text.GetString(), m_text.GetLength(), &font, box, &format, &ink);
    } else {
      format.SetAlignment(Gdiplus::StringAlignmentCenter);
      const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(r.left + 5), static_cast<Gdiplus::REAL>(r.top + 5),
                               static_cast<Gdiplus::REAL>(r.Width() - 10), 30.0f);
      g.DrawString(m_text.GetString(), m_text.GetLength(), &font, box, &format, &ink);
    }
  }
  if (m_progress <= 0) return;
  Gdiplus::Pen line(Gdiplus::Color(0xC8C8C8C8), 1.0f);
  g.DrawLine(&line, static_cast<INT>(r.left + 10), r.bottom - 15, r.right - 20, r.bottom - 15);
  Gdiplus::SolidBrush bar(Gdiplus::Color(0xFEFFE100));
  g.FillRectangle(&bar, static_cast<INT>(r.left + 10), r.bottom - 16,
                  render::ProgressBarWidth(m_progress, r.Width()), 3);
}

}  // namespace VELO
