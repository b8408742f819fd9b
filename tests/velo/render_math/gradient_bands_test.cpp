#include "velo/plain/gradient_bands.h"

#include <gtest/gtest.h>

using VELO::render::GradientAlpha;
using VELO::render::GradientBands;
using VELO::render::GradientBandShift;

TEST(GradientAlphaTest, AverageOfBothEnds) {
  EXPECT_EQ(GradientAlpha(0x00FF0000u, 0x000000FFu), 0);
  EXPECT_EQ(GradientAlpha(0xFFFF0000u, 0x000000FFu), 127);
  EXPECT_EQ(GradientAlpha(0xFFFF0000u, 0xFF0000FFu), 255);
  EXPECT_EQ(GradientAlpha(0x01000000u, 0x00000000u), 0);
}

TEST(GradientBandsTest, BandCountFollowsTheSteps) {
  const int cases[][2] = {{0, 1},  {3, 1},  {4, 2},  {7, 2},  {8, 3},
                          {16, 4}, {32, 5}, {63, 5}, {64, 6}, {1000, 6}};
  for (const auto& c : cases) EXPECT_EQ(GradientBandShift(c[0]), c[1]) << c[0];
}

TEST(GradientBandsTest, BandsTileTheAxisFromTheFarEdge) {
  const auto bands = GradientBands(10, 100, 0xFF000000u, 0xFFFFFFFFu, 4);
  ASSERT_EQ(bands.size(), 4u);
  // The band at the far edge has the `to` colour; colours step towards
  // `from` without ever reaching it.
  EXPECT_EQ(bands[0].begin, 85);
  EXPECT_EQ(bands[0].end, 110);
  EXPECT_EQ(bands[0].r, 255);
  EXPECT_EQ(bands[1].r, 191);
  EXPECT_EQ(bands[2].r, 127);
  EXPECT_EQ(bands[3].r, 63);
  EXPECT_EQ(bands[3].begin, 10);
  for (size_t i = 1; i < bands.size(); ++i) EXPECT_EQ(bands[i].end, bands[i - 1].begin);
}

TEST(GradientBandsTest, ChannelsMixSeparately) {
  const auto bands = GradientBands(0, 2, 0x00102030u, 0x00FF8040u, 0);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[1].r, (0xFF + 0x10) / 2);
  EXPECT_EQ(bands[1].g, (0x80 + 0x20) / 2);
  EXPECT_EQ(bands[1].b, (0x40 + 0x30) / 2);
}

TEST(GradientBandsTest, EmptyBandsAreSkipped) {
  // 3 pixels cannot hold 64 bands.
  const auto bands = GradientBands(0, 3, 0xFF000000u, 0xFFFFFFFFu, 100);
  int covered = 0;
  for (const auto& b : bands) covered += b.end - b.begin;
  EXPECT_EQ(covered, 3);
  EXPECT_LE(bands.size(), 3u);
  EXPECT_TRUE(GradientBands(0, 0, 0, 0, 4).empty());
  EXPECT_TRUE(GradientBands(5, -5, 0, 0, 4).empty());
}
