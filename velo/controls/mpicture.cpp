#include "velo/controls/mpicture.h"

#include "velo/core/manager.h"
#include "velo/plain/paint_rules.h"
#include "velo/render/mrender.h"

namespace VELO {

MPicture::MPicture(MObject* owner, UINT id, CRect rc, BOOL visible, BOOL enabled)
    : MControlFont(owner, id, rc, L"", visible, enabled, 1) {
  m_nFrameCount = 1;
}

MPicture::~MPicture() { m_pImage = nullptr; }

void MPicture::Adopt(std::unique_ptr<Gdiplus::Image> image, int frames) {
  m_ownImage = std::move(image);
  m_pImage = m_ownImage.get();
  if (!m_pImage) {
    m_nFrameWidth = m_nFrameHeight = 0;
    return;
  }
  m_nFrameCount = frames > 0 ? frames : 1;
  m_nFrameWidth = static_cast<int>(m_pImage->GetWidth()) / m_nFrameCount;
  m_nFrameHeight = static_cast<int>(m_pImage->GetHeight());
}

BOOL MPicture::SetImage(const wchar_t* name, int frames) {
  Adopt(MRender::LoadImageFromFile(Manager::GetSkinPath() + CString(name)), frames);
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
  return m_pImage ? TRUE : FALSE;
}

BOOL MPicture::SetImage(UINT id, CString type, int frames) {
  auto image = MRender::LoadImageFromIDResource(id, type, Manager::GetInstance());
  if (!image) {
    Adopt(nullptr, frames);
    return FALSE;
  }
  Adopt(std::move(image), frames);
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
  return TRUE;
}

BOOL MPicture::SetShowMode(enumShowMode mode, int corner) {
  if (mode == m_nShowMode && (mode != SHOW_FRAME || corner == m_nCorner)) return 0;
  m_nShowMode = mode;
  m_nCorner = corner;
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
  return 1;
}

int MPicture::SetShowModeMID(int left, int top, int right, int bottom) {
  m_nMarginLeft = left;
  m_nMarginTop = top;
  m_nMarginRight = right;
  m_nMarginBottom = bottom;
  m_nShowMode = SHOW_FRAME_MID;
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
  return 1;
}

void MPicture::DrawImage(Gdiplus::Graphics& g, int w, int h) {
  const int fw = m_nFrameWidth;
  const int fh = m_nFrameHeight;
  if (!m_pImage || fw <= 0 || fh <= 0) return;
  const CRect all(0, 0, w, h);
  switch (m_nShowMode) {
    case SHOW_NORMAL: {
      const render::Placement p = render::PicturePlacement(w, h, fw, fh, m_uAlign, m_uVAlign);
      g.DrawImage(m_pImage, Gdiplus::Rect(p.x, p.y, fw, fh), 0, 0, fw, fh, Gdiplus::UnitPixel);
      break;
    }
    case SHOW_TILE:
      for (const render::Tile& t : render::PictureTiles(w, h, fw, fh)) {
        g.DrawImage(m_pImage, Gdiplus::Rect(t.x, t.y, t.width, t.height), 0, 0, t.width, t.height,
                    Gdiplus::UnitPixel);
      }
      break;
    case SHOW_STRETCH:
      g.DrawImage(m_pImage, Gdiplus::Rect(0, 0, w, h), 0, 0, fw, fh, Gdiplus::UnitPixel);
      break;
    case SHOW_FRAME:
      MRender::DrawImageFrame(g, m_pImage, all, 0, 0, fw, fh, m_nCorner);
      break;
    case SHOW_FRAME_MID:
      MRender::DrawImageFrameMID(g, m_pImage, all, 0, 0, fw, fh, m_nMarginLeft, m_nMarginTop, m_nMarginRight,
                                 m_nMarginBottom);
      break;
    case SHOW_CUSTOM:
      g.DrawImage(m_pImage, Gdiplus::Rect(0, 0, w, h), m_rcCustom.left, m_rcCustom.top, m_rcCustom.Width(),
                  m_rcCustom.Height(), Gdiplus::UnitPixel);
      break;
    default:
      break;
  }
}

void MPicture::DrawControl(HDC& dc, CRect) {
  const int w = m_rcControl.Width();
  const int h = m_rcControl.Height();
  if (w <= 0 || h <= 0) return;
  if (!m_bUpdate) {
    if (!UpdateMemDC(dc, w, h)) return;
    CopyBeneath(dc, 0);
    Gdiplus::Graphics g(GetMemDC());
    DrawImage(g, w, h);
  }
  ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, GetMemDC(), 0, 0, SRCCOPY);
}

}  // namespace VELO
