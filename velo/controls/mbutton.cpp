#include "velo/controls/mbutton.h"

#include "velo/core/manager.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {
constexpr UINT kCodeDown = 1;
constexpr UINT kCodeClick = 2;
}  // namespace

MButton::MButton(MObject* owner, UINT id, CRect rc, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(owner, id, rc, title, visible, enabled, 1) {
  m_uAlign = 1;
  m_nState = enabled ? kNormal : kDisabled;
}

MButton::~MButton() = default;

int MButton::ChangeState(int state) {
  if (state == m_nState) return 0;
  m_nState = state;
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 0, this);
  return 1;
}

int MButton::OnControlMouseMove(UINT, CPoint pt) {
  if (!m_bEnabled || m_nState == kPressed) return 0;
  const bool inside = m_rcControl.PtInRect(pt);
  ::SetCursor(::LoadCursorW(nullptr, inside ? IDC_HAND : IDC_ARROW));
  return ChangeState(inside ? kHover : kNormal);
}

int MButton::OnControlLButtonDown(UINT, CPoint pt) {
  if (!m_bEnabled || !m_rcControl.PtInRect(pt)) return 0;
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  const ControlRef self(this);
  const int changed = ChangeState(kPressed);
  if (m_pOwner) m_pOwner->OnBaseMessage(m_uControlID, kCodeDown, 0, 0);
  return self.Get() ? changed : 1;
}

int MButton::OnControlLButtonUp(UINT, CPoint pt) {
  if (!m_bEnabled) return 0;
  const bool inside = m_rcControl.PtInRect(pt);
  const bool click = inside && m_nState == kPressed;
  if (!ChangeState(inside ? kHover : kNormal)) return 0;
  if (click && m_pOwner) m_pOwner->OnBaseMessage(m_uControlID, kCodeClick, 0, 0);
  return 1;
}

int MButton::OnControlKeyDown(UINT vk, UINT repeat, UINT flags) {
  return MControl::OnControlKeyDown(vk, repeat, flags);
}

void MButton::SetControlEnabled(int enabled) {
  enabled = enabled ? 1 : 0;
  if (enabled == m_bEnabled) return;
  m_bEnabled = enabled;
  m_nState = enabled ? kNormal : kDisabled;
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 0, this);
}

BOOL MButton::SetIconImage(const wchar_t* name, int frames) {
  auto image = MRender::LoadImageFromFile(Manager::GetSkinPath() + CString(name));
  if (!image) return FALSE;
  m_pIconImage = std::move(image);
  m_nIconCount = frames > 0 ? frames : 1;
  m_nIconWidth = static_cast<int>(m_pIconImage->GetWidth()) / m_nIconCount;
  m_nIconHeight = static_cast<int>(m_pIconImage->GetHeight());
  return TRUE;
}

void MButton::DrawControl(HDC& dc, CRect) {
  const int w = m_rcControl.Width();
  const int h = m_rcControl.Height();
  if (w <= 0 || h <= 0) return;
  if (!m_bUpdate) {
    if (!UpdateMemDC(dc, w * 4, h)) return;
    Gdiplus::Graphics g(GetMemDC());
    g.SetTextRenderingHint(m_renderingHint);
    for (int i = 0; i < 4; ++i) {
      CopyBeneath(dc, i * w);
      if (m_pImage && m_nFrameWidth > 0 && m_nFrameHeight > 0) {
        MRender::DrawImageFrame(g, m_pImage, CRect(i * w, 0, i * w + w, h), i * m_nFrameWidth, 0,
                                m_nFrameWidth, m_nFrameHeight, m_nCorner);
      }
    }
    if (!m_strTitle.IsEmpty()) {
      for (int i = 0; i < 4; ++i) {
        const int d = i == kPressed ? 1 : 0;
        const Gdiplus::Color color = i == kDisabled ? Gdiplus::Color(0xFF808080) : m_textColor;
        Gdiplus::RectF box(static_cast<Gdiplus::REAL>(i * w + d), static_cast<Gdiplus::REAL>(d),
                           static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h));
        if (!m_rcText.IsRectEmpty()) {
          box = Gdiplus::RectF(static_cast<Gdiplus::REAL>(i * w + m_rcText.left + d),
                               static_cast<Gdiplus::REAL>(m_rcText.top + d),
                               static_cast<Gdiplus::REAL>(m_rcText.Width()),
                               static_cast<Gdiplus::REAL>(m_rcText.Height()));
        }
        // Each look keeps to its own quarter of the strip.
        Gdiplus::RectF quarter(static_cast<Gdiplus::REAL>(i * w), 0, static_cast<Gdiplus::REAL>(w),
                               static_cast<Gdiplus::REAL>(h));
        Gdiplus::RectF::Intersect(box, box, quarter);
        DrawTitle(g, m_strTitle, box, color, 0x1800, 1, 4);
      }
    }
  }
  ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, GetMemDC(), m_nState * w, 0, SRCCOPY);
}

}  // namespace VELO
