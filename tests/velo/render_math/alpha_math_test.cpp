#include "velo/plain/alpha_math.h"

#include <gtest/gtest.h>

using VELO::render::BlendPixel;
using VELO::render::CornerFadeAlpha;
using VELO::render::NonZeroColorKey;
using VELO::render::TransitionAlpha;
using VELO::render::TransitionLastAlpha;

TEST(TransitionAlphaTest, EqualEndsGiveOneAlpha) {
  for (int i = 0; i < 80; ++i) ASSERT_EQ(TransitionAlpha(80, 80, 80, i), 51) << i;
  EXPECT_EQ(TransitionLastAlpha(80, 80, 80), 51);
  EXPECT_EQ(TransitionLastAlpha(0, 0, 10), 255);
}

TEST(TransitionAlphaTest, RunsFromTheFirstTransparencyTowardsTheLast) {
  // 0 % at the top to 100 % at the bottom over 255 rows: one step per row.
  EXPECT_EQ(TransitionAlpha(0, 100, 255, 0), 255);
  EXPECT_EQ(TransitionAlpha(0, 100, 255, 100), 155);
  EXPECT_EQ(TransitionLastAlpha(0, 100, 255), 1);
  // The other way round it rises from the bottom value.
  EXPECT_EQ(TransitionAlpha(100, 0, 255, 0), 0);
  EXPECT_EQ(TransitionAlpha(100, 0, 255, 254), 254);
  // A tall area with a small range still fades (a whole-number step would
  // be 0 here and leave every row at 255).
  EXPECT_EQ(TransitionAlpha(0, 50, 400, 0), 255);
  EXPECT_EQ(TransitionAlpha(0, 50, 400, 200), 191);
  EXPECT_LT(TransitionLastAlpha(0, 50, 400), 130);
}

TEST(TransitionAlphaTest, NoLinesNoDivision) {
  EXPECT_EQ(TransitionLastAlpha(10, 90, 0), 255);
  EXPECT_EQ(TransitionLastAlpha(10, 90, -3), 255);
}

TEST(CornerFadeAlphaTest, OpaqueAtTheBlockOriginClearAtItsFarCorner) {
  EXPECT_EQ(CornerFadeAlpha(10, 0, 0), 255);
  EXPECT_EQ(CornerFadeAlpha(10, 3, 4), 127);
  EXPECT_EQ(CornerFadeAlpha(10, 9, 9), 0);
  EXPECT_EQ(CornerFadeAlpha(10, 9, 0), 25);
  EXPECT_EQ(CornerFadeAlpha(300, 0, 299), 0);
}

TEST(NonZeroColorKeyTest, OnlyBlackMoves) {
  EXPECT_EQ(NonZeroColorKey(0x00000000u), 0x00000001u);
  EXPECT_EQ(NonZeroColorKey(0xFF000000u), 0xFF000001u);
  EXPECT_EQ(NonZeroColorKey(0x80000000u), 0x80000001u);
  EXPECT_EQ(NonZeroColorKey(0x00000001u), 0x00000001u);
  EXPECT_EQ(NonZeroColorKey(0x00FFFFFFu), 0x00FFFFFFu);
  EXPECT_EQ(NonZeroColorKey(0xFF010000u), 0xFF010000u);
}

TEST(BlendPixelTest, ConstantAlphaMixesEveryChannel) {
  EXPECT_EQ(BlendPixel(0x00000000u, 0x00FFFFFFu, 255, false), 0x00FFFFFFu);
  EXPECT_EQ(BlendPixel(0x00000000u, 0xFF0000FFu, 51, false), 0x33000033u);
  EXPECT_EQ(BlendPixel(0xFFFFFFFFu, 0x00000000u, 128, false), 0x7F7F7F7Fu);
  EXPECT_EQ(BlendPixel(0x12345678u, 0xFFFFFFFFu, 0, false), 0x12345678u);
}

TEST(BlendPixelTest, PerPixelAlphaIsPremultiplied) {
  // Half-covered premultiplied white over opaque black.
  EXPECT_EQ(BlendPixel(0xFF000000u, 0x80808080u, 255, true), 0xFF808080u);
  // A transparent source leaves the destination.
  EXPECT_EQ(BlendPixel(0xFF204060u, 0x00000000u, 255, true), 0xFF204060u);
  // Opaque source at constant alpha 127 over opaque white.
  EXPECT_EQ(BlendPixel(0xFFFFFFFFu, 0xFF0000FFu, 127, true), 0xFF8080FFu);
  // Sources brighter than their alpha saturate instead of wrapping.
  EXPECT_EQ(BlendPixel(0xFFFFFFFFu, 0x10FFFFFFu, 255, true), 0xFFFFFFFFu);
}
