#include <gtest/gtest.h>

#include "tests/velo/render_support.h"
#include "velo/plain/text_metrics.h"
#include "velo/render/mrender.h"

using VELO::CPoint;
using VELO::CRect;
using VELO::MRender;
using velo_test::Canvas;

namespace {

// Pixel-unit fonts, as the library makes them.
Gdiplus::Font PixelFont(float size) {
  return Gdiplus::Font(L"Arial", size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
}

float LineHeight(const Gdiplus::Font& font) {
  Gdiplus::FontFamily family;
  font.GetFamily(&family);
  return font.GetSize() * family.GetLineSpacing(Gdiplus::FontStyleRegular) /
         family.GetEmHeight(Gdiplus::FontStyleRegular);
}

}  // namespace

TEST(TextBoundsTest, WidthFollowsTheOutlineHeightTheLine) {
  const Gdiplus::Font font = PixelFont(14);
  ASSERT_EQ(font.GetLastStatus(), Gdiplus::Ok);
  const Gdiplus::Size one = MRender::GetTextBounds(font, L"M");
  const Gdiplus::Size many = MRender::GetTextBounds(font, L"MMMMMMMMMM");
  EXPECT_GT(one.Width, 5);
  EXPECT_LT(one.Width, 16);
  // Ten glyphs: ten advances, less the side bearings of the outer two.
  EXPECT_GT(many.Width, 9 * one.Width);
  EXPECT_LT(many.Width, 10 * 14);
  EXPECT_EQ(one.Height, VELO::render::TextLineHeight(LineHeight(font)));
  EXPECT_EQ(many.Height, one.Height);
  // No outline, no width; the line keeps its height.
  const Gdiplus::Size empty = MRender::GetTextBounds(font, L"");
  EXPECT_EQ(empty.Width, 0);
  EXPECT_EQ(empty.Height, one.Height);
  // Bigger font, bigger box.
  const Gdiplus::Size big = MRender::GetTextBounds(PixelFont(28), L"M");
  EXPECT_GT(big.Width, one.Width * 3 / 2);
  EXPECT_GT(big.Height, one.Height * 3 / 2);
}

TEST(TextBoundsTest, LayoutWidthWrapsIntoMoreLines) {
  const Gdiplus::Font font = PixelFont(14);
  Gdiplus::StringFormat format;
  const wchar_t* text = L"one two three four five six seven eight";
  const Gdiplus::Size wide = MRender::GetTextBounds(font, format, 2000, text);
  const Gdiplus::Size narrow = MRender::GetTextBounds(font, format, 60, text);
  const int line = static_cast<int>(LineHeight(font));
  EXPECT_LE(wide.Height, line + 8);
  // Wrapped: at least two lines (Wine lays out no more than two here, so
  // the test does not count them).
  EXPECT_GT(narrow.Height, wide.Height + line / 2);
  EXPECT_LE(narrow.Width, 60);
  EXPECT_GT(wide.Width, narrow.Width);
  // The unbounded form with the same format agrees on the width of one line.
  EXPECT_EQ(MRender::GetTextBounds(font, format, text).Width, wide.Width);
}

TEST(DrawTextTest, DrawsInTheColourAndRestoresTheDc) {
  Canvas canvas(120, 40, 0xFFFFFFFFu);
  HFONT font = ::CreateFontW(-24, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
  ASSERT_NE(font, nullptr);
  const HGDIOBJ fontBefore = ::GetCurrentObject(canvas.dc(), OBJ_FONT);
  ::SetTextColor(canvas.dc(), RGB(1, 2, 3));
  CRect rect(10, 5, 110, 35);
  MRender::DrawTextW(canvas.dc(), rect, L"HHHH", RGB(255, 0, 0), font, DT_LEFT | DT_TOP | DT_SINGLELINE);
  EXPECT_EQ(::GetTextColor(canvas.dc()), RGB(1, 2, 3));
  EXPECT_EQ(::GetCurrentObject(canvas.dc(), OBJ_FONT), fontBefore);
  EXPECT_EQ(::GetBkMode(canvas.dc()), TRANSPARENT);
  int red = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const auto p = canvas.Pixel(x, y) & 0xFFFFFF;
      if (p == 0xFF0000u) {
        ++red;
        EXPECT_TRUE(rect.PtInRect(CPoint(x, y))) << x << "," << y;
      }
    }
  }
  EXPECT_GT(red, 50);
  // A null text draws nothing.
  canvas.Fill(0xFFFFFFFFu);
  MRender::DrawTextW(canvas.dc(), rect, nullptr, RGB(255, 0, 0), font, 0);
  EXPECT_EQ(canvas.Pixel(20, 20), 0xFFFFFFFFu);
  ::DeleteObject(font);
}

TEST(OriginPointTest, BothForms) {
  EXPECT_EQ(MRender::GetOriginPoint(100, 40, 20, 10, 1, 4), CPoint(40, 15));
  // In a box: offset by the box and 2 pixels lower.
  EXPECT_EQ(MRender::GetOriginPoint(CRect(10, 10, 110, 50), 20, 10, 1, 4), CPoint(50, 27));
  EXPECT_EQ(MRender::GetOriginPoint(CRect(-5, 0, 5, 10), 10, 10, 2, 8), CPoint(-5, 2));
}
