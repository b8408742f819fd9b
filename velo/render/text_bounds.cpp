#include "velo/plain/text_metrics.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

struct FontShape {
  Gdiplus::FontFamily family;
  INT style = 0;
  Gdiplus::REAL size = 0;
  // Line spacing in the font's own units, which for the library's fonts are
  // pixels.
  Gdiplus::REAL lineHeight = 0;
};

void ReadShape(const Gdiplus::Font& font, FontShape& shape) noexcept {
  font.GetFamily(&shape.family);
  shape.style = font.GetStyle();
  shape.size = font.GetSize();
  const UINT16 em = shape.family.GetEmHeight(shape.style);
  if (em != 0) shape.lineHeight = shape.size * shape.family.GetLineSpacing(shape.style) / em;
}

Gdiplus::RectF OutlineBounds(const FontShape& shape, const Gdiplus::StringFormat& format, const CString& text,
                             const Gdiplus::RectF* layout) noexcept {
  Gdiplus::GraphicsPath path;
  if (layout) {
    path.AddString(text.GetString(), -1, &shape.family, shape.style, shape.size, *layout, &format);
  } else {
    path.AddString(text.GetString(), -1, &shape.family, shape.style, shape.size, Gdiplus::PointF(0, 0),
                   &format);
  }
  Gdiplus::RectF bounds;
  path.GetBounds(&bounds);
  return bounds;
}

}  // namespace

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font& font, const CString& text) noexcept {
  Gdiplus::StringFormat format;
  format.SetAlignment(Gdiplus::StringAlignmentNear);
  format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
  return GetTextBounds(font, format, text);
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                     const CString& text) noexcept {
  FontShape shape;
  ReadShape(font, shape);
  const Gdiplus::RectF bounds = OutlineBounds(shape, format, text, nullptr);
  return Gdiplus::Size(render::TextWidth(bounds.Width), render::TextLineHeight(shape.lineHeight));
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                     int layoutWidth, const CString& text) noexcept {
  FontShape shape;
  ReadShape(font, shape);
  const Gdiplus::RectF layout(0, 0, static_cast<Gdiplus::REAL>(layoutWidth), 0);
  const Gdiplus::RectF bounds = OutlineBounds(shape, format, text, &layout);
  return Gdiplus::Size(render::TextWidth(bounds.Width),
                       render::TextHeightInWidth(shape.lineHeight, bounds.Height));
}

void MRender::DrawTextW(HDC dc, CRect& rect, const wchar_t* text, COLORREF color, HFONT font,
                        UINT format) noexcept {
  if (!text) return;
  ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = ::SetTextColor(dc, color);
  {
    ostrel::win::scoped_select select(dc, font);
    ::DrawTextW(dc, text, -1, &rect, format);
  }
  ::SetTextColor(dc, oldColor);
}

}  // namespace VELO
