#include <gtest/gtest.h>

#include "velo/plain/shape_math.h"
#include "velo/plain/text_metrics.h"

using VELO::render::RotatePoint;
using VELO::render::RoundCornerRadii;
using VELO::render::TextHeightInWidth;
using VELO::render::TextLineHeight;
using VELO::render::TextWidth;

TEST(RotatePointTest, QuarterTurnsAboutACentre) {
  auto p = RotatePoint(20, 10, 90, 10, 10);
  EXPECT_NEAR(p.x, 10, 1e-5);
  EXPECT_NEAR(p.y, 20, 1e-5);
  p = RotatePoint(20, 10, 180, 10, 10);
  EXPECT_NEAR(p.x, 0, 1e-5);
  EXPECT_NEAR(p.y, 10, 1e-5);
  p = RotatePoint(7, -3, 0, 100, 100);
  EXPECT_DOUBLE_EQ(p.x, 7);
  EXPECT_DOUBLE_EQ(p.y, -3);
  p = RotatePoint(5, 5, -37, 5, 5);
  EXPECT_DOUBLE_EQ(p.x, 5);
  EXPECT_DOUBLE_EQ(p.y, 5);
}

TEST(RoundCornerRadiiTest, DivisorAndTheTenPixelRule) {
  auto r = RoundCornerRadii(40, 20, 4);
  EXPECT_FLOAT_EQ(r.rx, 5);
  EXPECT_FLOAT_EQ(r.ry, 2.5f);
  r = RoundCornerRadii(200, 20, 2);
  EXPECT_FLOAT_EQ(r.rx, 5);
  EXPECT_FLOAT_EQ(r.ry, 5);
  r = RoundCornerRadii(40, 20, 0);
  EXPECT_FLOAT_EQ(r.rx, 0);
  EXPECT_FLOAT_EQ(r.ry, 0);
}

TEST(TextMetricsTest, PaddingDependsOnWholeOrFractionalHeights) {
  EXPECT_EQ(TextWidth(30.0f), 30);
  EXPECT_EQ(TextWidth(30.01f), 31);
  EXPECT_EQ(TextLineHeight(16.0f), 17);
  EXPECT_EQ(TextLineHeight(16.09f), 20);
  // Laid out in a width: the taller candidate wins, with extra room for
  // wrapped lines.
  EXPECT_EQ(TextHeightInWidth(16.0f, 12.5f), 18);
  EXPECT_EQ(TextHeightInWidth(16.5f, 40.0f), 46);
  EXPECT_EQ(TextHeightInWidth(16.5f, 16.2f), 19);
}
