#include <gtest/gtest.h>

#include <utility>

#include "tests/velo/render_support.h"
#include "velo/render/blend_functions.h"
#include "velo/render/mrender.h"

using VELO::CRect;
using VELO::MRender;
using velo_test::Argb;
using velo_test::Blue;
using velo_test::Canvas;
using velo_test::ColorDistance;
using velo_test::Green;
using velo_test::Red;

namespace {

// The destination of every blend: opaque white. Sources: opaque black, so a
// row blended at alpha a reads 255 - a in every channel.
constexpr Argb kWhite = 0xFFFFFFFFu;
constexpr Argb kBlack = 0xFF000000u;

int Faded(const Canvas& c, int x, int y) { return 255 - Red(c.Pixel(x, y)); }

}  // namespace

TEST(TransitionTest, EqualEndsBlendEveryRowAtOneAlpha) {
  Canvas dst(80, 80, kWhite);
  Canvas src(80, 80, kBlack);
  HDC d = dst.dc(), s = src.dc();
  EXPECT_EQ(MRender::DrawVerticalTransition(d, s, CRect(0, 0, 80, 80), CRect(0, 0, 80, 80), 80, 80), 51);
  for (int y = 0; y < 80; y += 7) {
    for (int x : {0, 40, 79}) ASSERT_NEAR(Faded(dst, x, y), 51, 1) << x << "," << y;
  }
}

TEST(TransitionTest, VerticalRunsFromTheTopTransparencyToTheBottomOne) {
  Canvas dst(20, 52, kWhite);
  Canvas src(30, 60, kWhite);
  // The source rows that must be used start at (5, 8).
  for (int y = 8; y < 60; ++y) {
    for (int x = 5; x < 25; ++x) src.SetPixel(x, y, kBlack);
  }
  HDC d = dst.dc(), s = src.dc();
  const int last = MRender::DrawVerticalTransition(d, s, CRect(0, 0, 20, 51), CRect(5, 8, 25, 59), 0, 100);
  // 255 - 5 per row: the last of the 51 rows is at 5.
  EXPECT_EQ(last, 5);
  EXPECT_NEAR(Faded(dst, 10, 0), 255, 1);
  EXPECT_NEAR(Faded(dst, 10, 25), 130, 1);
  EXPECT_NEAR(Faded(dst, 19, 50), 5, 1);
  for (int y = 1; y < 51; ++y) ASSERT_LE(Faded(dst, 3, y), Faded(dst, 3, y - 1)) << y;
  // Below the rectangle nothing changed.
  EXPECT_EQ(dst.Pixel(10, 51), kWhite);
}

TEST(TransitionTest, HorizontalRunsAcrossColumns) {
  Canvas dst(51, 10, kWhite);
  Canvas src(51, 10, kBlack);
  HDC d = dst.dc(), s = src.dc();
  const int last = MRender::DrawHorizontalTransition(d, s, CRect(0, 0, 51, 10), CRect(0, 0, 51, 10), 100, 20);
  // Rising from 0 by 4 per column towards 204 (20 % transparency).
  EXPECT_EQ(last, 200);
  EXPECT_NEAR(Faded(dst, 0, 5), 0, 1);
  EXPECT_NEAR(Faded(dst, 50, 9), 200, 1);
  for (int x = 1; x < 51; ++x) ASSERT_GE(Faded(dst, x, 0), Faded(dst, x - 1, 0)) << x;
}

TEST(TransitionTest, EmptyRectangleDrawsNothingAndReports255) {
  Canvas dst(4, 4, kWhite);
  Canvas src(4, 4, kBlack);
  HDC d = dst.dc(), s = src.dc();
  EXPECT_EQ(MRender::DrawVerticalTransition(d, s, CRect(2, 2, 2, 2), CRect(0, 0, 4, 4), 0, 100), 255);
  EXPECT_EQ(MRender::DrawHorizontalTransition(d, s, CRect(2, 2, 1, 3), CRect(0, 0, 4, 4), 0, 100), 255);
  EXPECT_EQ(dst.Pixel(2, 2), kWhite);
}

TEST(TransitionTest, RightBottomCornerFadesTowardsTheCorner) {
  Canvas dst(30, 20, kWhite);
  Canvas src(30, 20, kBlack);
  HDC d = dst.dc(), s = src.dc();
  // Relative to the rectangle's origin: the block is (20, 10)-(30, 20).
  MRender::DrawRightBottomTransition(d, s, CRect(100, 100, 130, 120), 10, RGB(1, 2, 3));
  EXPECT_NEAR(Faded(dst, 20, 10), 255, 1);
  EXPECT_NEAR(Faded(dst, 23, 14), 127, 1);
  EXPECT_NEAR(Faded(dst, 29, 19), 0, 1);
  EXPECT_EQ(dst.Pixel(19, 10), kWhite);
  EXPECT_EQ(dst.Pixel(20, 9), kWhite);
}

TEST(GradientTest, TransparentEndsDrawNothing) {
  Canvas canvas(40, 40, kWhite);
  MRender::DrawGradient(canvas.dc(), RECT{0, 0, 40, 40}, 0x00FF0000u, 0x000000FFu, true, 16);
  // Alphas 1 and 0 average to 0 as well.
  MRender::DrawGradient(canvas.dc(), RECT{0, 0, 40, 40}, 0x01FF0000u, 0x000000FFu, false, 16);
  for (int y : {0, 20, 39}) EXPECT_EQ(canvas.Pixel(20, y), kWhite);
}

TEST(GradientTest, OpaqueEndsFillStraightFromTopToBottom) {
  Canvas canvas(30, 64, kWhite);
  MRender::DrawGradient(canvas.dc(), RECT{5, 0, 25, 64}, 0xFFFF0000u, 0xFF0000FFu, true, 64);
  EXPECT_LE(ColorDistance(canvas.Pixel(10, 0), 0xFF0000u), 4);
  EXPECT_LE(ColorDistance(canvas.Pixel(10, 63), 0x0000FFu), 8);
  EXPECT_NEAR(Red(canvas.Pixel(10, 32)), 127, 8);
  EXPECT_EQ(canvas.Pixel(4, 10), kWhite);
  EXPECT_EQ(canvas.Pixel(25, 10), kWhite);
}

TEST(GradientTest, HalfTransparentEndsBlendAtTheAverageAlpha) {
  // From opaque red to fully transparent blue: drawn at alpha 127 over
  // black, so the top reads red 127 and the bottom blue about 127.
  Canvas canvas(32, 64, kBlack);
  MRender::DrawGradient(canvas.dc(), RECT{0, 0, 32, 64}, 0xFFFF0000u, 0x000000FFu, true, 64);
  const Argb top = canvas.Pixel(16, 0);
  const Argb bottom = canvas.Pixel(16, 63);
  EXPECT_NEAR(Red(top), 127, 3);
  EXPECT_NEAR(Blue(top), 0, 3);
  EXPECT_NEAR(Blue(bottom), 127, 5);
  EXPECT_NEAR(Red(bottom), 0, 5);
  EXPECT_EQ(Green(canvas.Pixel(16, 32)), 0);
}

TEST(GradientTest, HorizontalRunsFromLeftToRight) {
  Canvas canvas(64, 8, kWhite);
  MRender::DrawGradient(canvas.dc(), RECT{0, 0, 64, 8}, 0xFF000000u, 0xFFFFFFFFu, false, 64);
  EXPECT_LE(Red(canvas.Pixel(0, 4)), 4);
  EXPECT_GE(Red(canvas.Pixel(63, 4)), 247);
  for (int x = 1; x < 64; ++x) ASSERT_GE(Red(canvas.Pixel(x, 4)), Red(canvas.Pixel(x - 1, 4))) << x;
}

TEST(GradientTest, WithoutGradientFillSolidBandsStandIn) {
  const VELO::BlendFunctions bandsOnly{&VELO::SoftAlphaBlend, nullptr};
  Canvas canvas(10, 40, kWhite);
  VELO::DrawGradientWith(bandsOnly, canvas.dc(), RECT{0, 0, 10, 40}, 0xFF000000u, 0xFFFFFFFFu, true, 4);
  // Four bands of 10 rows counted from the bottom: 255, 191, 127, 63.
  EXPECT_EQ(Red(canvas.Pixel(5, 39)), 255);
  EXPECT_EQ(Red(canvas.Pixel(5, 30)), 255);
  EXPECT_EQ(Red(canvas.Pixel(5, 29)), 191);
  EXPECT_EQ(Red(canvas.Pixel(5, 15)), 127);
  EXPECT_EQ(Red(canvas.Pixel(5, 0)), 63);

  // Translucent bands go through the blend at the average alpha.
  Canvas dark(40, 4, kBlack);
  VELO::DrawGradientWith(bandsOnly, dark.dc(), RECT{0, 0, 40, 4}, 0xFFFFFFFFu, 0x00FFFFFFu, false, 2);
  EXPECT_NEAR(Red(dark.Pixel(0, 0)), 127, 1);
  EXPECT_NEAR(Red(dark.Pixel(39, 3)), 127, 1);
}

TEST(SoftAlphaBlendTest, MatchesTheSystemBlend) {
  Canvas source(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      // Premultiplied: no channel above its alpha.
      const Argb a = static_cast<Argb>(y * 17);
      source.SetPixel(x, y, a << 24 | (a * x / 15) << 16 | (a / 2) << 8 | (a * (15 - x) / 15));
    }
  }
  for (const BLENDFUNCTION blend :
       {BLENDFUNCTION{AC_SRC_OVER, 0, 200, 0}, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA},
        BLENDFUNCTION{AC_SRC_OVER, 0, 90, AC_SRC_ALPHA}}) {
    Canvas system(16, 16, 0xFF2060A0u);
    Canvas soft(16, 16, 0xFF2060A0u);
    ASSERT_TRUE(
        VELO::SystemBlendFunctions().alphaBlend(system.dc(), 0, 0, 16, 16, source.dc(), 0, 0, 16, 16, blend));
    ASSERT_TRUE(VELO::SoftAlphaBlend(soft.dc(), 0, 0, 16, 16, source.dc(), 0, 0, 16, 16, blend));
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        ASSERT_LE(ColorDistance(soft.Pixel(x, y), system.Pixel(x, y)), 1)
            << x << "," << y << " alpha " << int(blend.SourceConstantAlpha) << " format "
            << int(blend.AlphaFormat);
      }
    }
  }
  Canvas target(4, 4);
  EXPECT_FALSE(VELO::SoftAlphaBlend(target.dc(), 0, 0, 0, 4, source.dc(), 0, 0, 4, 4, BLENDFUNCTION{}));
}

TEST(ColorTest, CheckAlphaColorMovesOnlyBlack) {
  for (const auto& [in, out] : {std::pair<DWORD, DWORD>{0x00000000u, 0x00000001u},
                                {0xFF000000u, 0xFF000001u},
                                {0x00FFFFFFu, 0x00FFFFFFu}}) {
    DWORD color = in;
    MRender::CheckAlphaColor(color);
    EXPECT_EQ(color, out) << std::hex << in;
  }
}

TEST(ColorTest, DrawColorBlendsPartialAlphaAndSkipsZero) {
  Canvas canvas(20, 10, kWhite);
  MRender::DrawColor(canvas.dc(), RECT{0, 0, 10, 10}, 0x00FF0000u);
  EXPECT_EQ(canvas.Pixel(5, 5), kWhite);
  MRender::DrawColor(canvas.dc(), RECT{0, 0, 10, 10}, 0x80000000u);
  EXPECT_NEAR(Red(canvas.Pixel(5, 5)), 127, 2);
  MRender::DrawColor(canvas.dc(), RECT{10, 0, 20, 10}, 0xFF00FF00u);
  EXPECT_EQ(canvas.Pixel(15, 5) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(canvas.Pixel(9, 5) & 0xFFFFFF, canvas.Pixel(0, 0) & 0xFFFFFF);
}

TEST(ColorTest, FillSolidRectFillsOnlyTheRectangle) {
  Canvas canvas(20, 20, kWhite);
  MRender::FillSolidRect(canvas.dc(), 2, 3, 5, 4, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(canvas.Pixel(2, 3) & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(canvas.Pixel(6, 6) & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(canvas.Pixel(7, 6), kWhite);
  EXPECT_EQ(canvas.Pixel(6, 7), kWhite);
  const RECT r{10, 10, 12, 12};
  MRender::FillSolidRect(canvas.dc(), &r, RGB(0xAB, 0, 0));
  EXPECT_EQ(canvas.Pixel(11, 11) & 0xFFFFFF, 0xAB0000u);
}
