#include <gtest/gtest.h>

#include "tests/velo/render_support.h"
#include "velo/render/mrender.h"

using VELO::MRender;
using velo_test::Argb;
using velo_test::Canvas;

namespace {

constexpr Argb kBack = 0xFFFFFFFFu;
constexpr Argb kFill = 0xFF2040C0u;

bool IsFill(const Canvas& c, int x, int y) { return (c.Pixel(x, y) & 0xFFFFFF) == (kFill & 0xFFFFFF); }
bool IsBack(const Canvas& c, int x, int y) { return (c.Pixel(x, y) & 0xFFFFFF) == (kBack & 0xFFFFFF); }

}  // namespace

TEST(RoundRectTest, FilledCornersAreCutByTheRadius) {
  Canvas canvas(60, 50, kBack);
  {
    Gdiplus::Graphics g(canvas.dc());
    MRender::DrawRoundRectange(g, 10, 10, 40, 30, 10, Gdiplus::Color(kFill));
  }
  EXPECT_TRUE(IsFill(canvas, 30, 25));
  EXPECT_TRUE(IsFill(canvas, 30, 11));  // top edge between the arcs
  EXPECT_TRUE(IsFill(canvas, 11, 25));  // left edge
  EXPECT_TRUE(IsBack(canvas, 11, 11));  // outside the top-left arc
  EXPECT_TRUE(IsBack(canvas, 48, 38));  // outside the bottom-right arc
  EXPECT_TRUE(IsBack(canvas, 5, 25));
  EXPECT_TRUE(IsBack(canvas, 55, 25));
}

TEST(RoundRectTest, OutlineWithAndWithoutFill) {
  const Argb pen = 0xFFFF0000u;
  Canvas outline(60, 50, kBack);
  {
    Gdiplus::Graphics g(outline.dc());
    MRender::DrawRoundRectange(g, 10, 10, 40, 30, 4, Gdiplus::Color(pen), 2, false, Gdiplus::Color(kFill));
  }
  EXPECT_EQ(outline.Pixel(30, 10) & 0xFFFFFF, pen & 0xFFFFFF);
  EXPECT_TRUE(IsBack(outline, 30, 25));
  Canvas filled(60, 50, kBack);
  {
    Gdiplus::Graphics g(filled.dc());
    MRender::DrawRoundRectange(g, 10, 10, 40, 30, 4, Gdiplus::Color(pen), 2, true, Gdiplus::Color(kFill));
  }
  EXPECT_EQ(filled.Pixel(30, 10) & 0xFFFFFF, pen & 0xFFFFFF);
  EXPECT_TRUE(IsFill(filled, 30, 25));
  // A zero divisor gives square corners instead of a broken path.
  Canvas square(60, 50, kBack);
  {
    Gdiplus::Graphics g(square.dc());
    MRender::DrawRoundRectange(g, 10, 10, 40, 30, 0, Gdiplus::Color(pen), 1, true, Gdiplus::Color(kFill));
  }
  EXPECT_TRUE(IsFill(square, 12, 12));
}

TEST(RoundRectTest, AddRoundedRectangleAppendsItsOwnClosedFigure) {
  Gdiplus::GraphicsPath path;
  path.AddLine(0, 0, 5, 5);  // an open figure already there
  MRender::AddRoundedRectangle(path, 10, 20, 100, 50, 8);
  Gdiplus::GraphicsPathIterator it(&path);
  EXPECT_EQ(it.GetSubpathCount(), 2);
  Gdiplus::GraphicsPath own;
  MRender::AddRoundedRectangle(own, 10, 20, 100, 50, 8);
  Gdiplus::RectF bounds;
  own.GetBounds(&bounds);
  EXPECT_NEAR(bounds.X, 10, 0.01);
  EXPECT_NEAR(bounds.Y, 20, 0.01);
  EXPECT_NEAR(bounds.Width, 100, 0.01);
  EXPECT_NEAR(bounds.Height, 50, 0.01);
  EXPECT_TRUE(own.IsVisible(60, 45));
  EXPECT_FALSE(own.IsVisible(11, 21));
}

TEST(RotatePointTest, TurnsAboutTheCentreInPlace) {
  Gdiplus::PointF p(20, 10);
  MRender::RotatePoint(p, 90, Gdiplus::PointF(10, 10));
  EXPECT_NEAR(p.X, 10, 1e-4);
  EXPECT_NEAR(p.Y, 20, 1e-4);
}
