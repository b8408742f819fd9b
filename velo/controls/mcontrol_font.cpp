#include "velo/controls/mcontrol_font.h"

#include <cwchar>

#include "velo/core/manager.h"
#include "velo/paint/paint_manager.h"
#include "velo/plain/paint_rules.h"
#include "velo/render/mrender.h"

namespace VELO {

MControlFont::MControlFont(MObject* owner, UINT id, CRect rc, const wchar_t* title, BOOL visible,
                           BOOL enabled, BOOL responds)
    : MControl(owner, id, rc, visible, enabled, responds),
      m_strTitle(title),
      m_strFontName(Manager::GetFontName()),
      m_nFontSize(Manager::GetFontWidth()) {}

MControlFont::~MControlFont() = default;

void MControlFont::RequestRepaint() {
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
}

void MControlFont::SetTextFont(CString name) { m_strFontName = std::move(name); }

void MControlFont::SetTextColor(Gdiplus::Color color) {
  m_textColor = color;
  m_pTextBrush = std::make_unique<Gdiplus::SolidBrush>(color);
}

BOOL MControlFont::SetImage(UINT id, CString type, int frames) {
  PaintManager* pm = GetManager();
  if (!pm) return 0;
  ImgResInfo* info = pm->AddImgResInfo(id, type, frames, TRUE);
  if (!info) return 0;
  m_nFrameCount = frames;
  m_pImage = info->image;
  m_nFrameWidth = info->frameWidth;
  m_nFrameHeight = info->frameHeight;
  RequestRepaint();
  return 1;
}

BOOL MControlFont::SetImage(const wchar_t* name, int frames) {
  PaintManager* pm = GetManager();
  if (!pm) return 0;
  ImgResInfo* info = pm->AddImgResInfo(name, frames);
  if (!info) return 0;
  m_nFrameCount = frames;
  m_pImage = info->image;
  m_nFrameWidth = info->frameWidth;
  m_nFrameHeight = info->frameHeight;
  RequestRepaint();
  return 1;
}

void MControlFont::SetControlTitle(const wchar_t* title) { m_strTitle = title; }

CString MControlFont::GetControlTitle() { return m_strTitle; }

void MControlFont::SetTitle(const wchar_t* title) {
  ClearGDIFont();
  SetControlTitle(title);
  RequestRepaint();
}

void MControlFont::SetAlignment(UINT h) {
  if (h == m_uAlign) return;
  m_uAlign = h;
  RequestRepaint();
}

void MControlFont::SetVAlignment(UINT v) {
  if (v == m_uVAlign) return;
  m_uVAlign = v;
  RequestRepaint();
}

void MControlFont::SetAlignment(UINT h, UINT v) {
  if (h == m_uAlign && v == m_uVAlign) return;
  m_uAlign = h;
  m_uVAlign = v;
  RequestRepaint();
}

void MControlFont::SetFont(const wchar_t* name, int size, Gdiplus::FontStyle style) {
  m_strFontName = name;
  m_nFontSize = size;
  m_nFontStyle = style;
}

Gdiplus::FontFamily* MControlFont::GetFontFamily(const wchar_t* name) {
  PaintManager* pm = GetManager();
  if (!pm) return nullptr;
  Gdiplus::FontFamily* family = pm->FindTempFont(name);
  m_pFontFamily.reset(family ? family->Clone() : nullptr);
  return m_pFontFamily.get();
}

HFONT MControlFont::GetGDIFont() {
  if (m_hGDIFont) return m_hGDIFont.get();
  LOGFONTW lf{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  const CString face = Manager::GetFontName();
  wcsncpy_s(lf.lfFaceName, LF_FACESIZE, face.GetString(), _TRUNCATE);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -m_nFontSize;
  if (m_nFontStyle & 1) lf.lfWeight += 700;
  lf.lfItalic = (m_nFontStyle & 2) ? 1 : 0;
  lf.lfUnderline = (m_nFontStyle & 4) ? 1 : 0;
  m_hGDIFont.reset(::CreateFontIndirectW(&lf));
  return m_hGDIFont.get();
}

void MControlFont::DrawTitle(Gdiplus::Graphics& g, const CString& text, const Gdiplus::RectF& box,
                             Gdiplus::Color color, unsigned formatFlags, UINT hAlign, UINT vAlign) {
  if (text.IsEmpty() || box.Width <= 0 || box.Height <= 0) return;
  Gdiplus::FontFamily* family = GetFontFamily(m_strFontName);
  if (!family) return;
  const auto size = static_cast<Gdiplus::REAL>(static_cast<int>(m_nFontSize * Manager::m_scale_value));
  if (size <= 0) return;
  Gdiplus::Font font(family, size, m_nFontStyle, Gdiplus::UnitPixel);
  if (font.GetLastStatus() != Gdiplus::Ok) return;
  Gdiplus::StringFormat format(static_cast<INT>(formatFlags));
  format.SetAlignment(static_cast<Gdiplus::StringAlignment>(render::HorizontalStringAlignment(hAlign)));
  format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(render::VerticalStringAlignment(vAlign)));
  Gdiplus::SolidBrush brush(color);
  // The box bounds what is drawn: text that does not fit is cut, never
  // drawn over the neighbours (wrapped text is laid out without clipping).
  g.SetClip(box);
  g.DrawString(text.GetString(), text.GetLength(), &font, box, &format, &brush);
  g.ResetClip();
}

void MControlFont::CopyBeneath(HDC target, int x) {
  ::BitBlt(GetMemDC(), x, 0, m_rcControl.Width(), m_rcControl.Height(), target, m_rcControl.left,
           m_rcControl.top, SRCCOPY);
}

}  // namespace VELO
