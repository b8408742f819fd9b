#include "velo/plain/nine_part.h"

#include <gtest/gtest.h>

using VELO::render::Box;
using VELO::render::Margins;
using VELO::render::SliceNinePart;

TEST(NinePartTest, EqualCornersFollowTheDrawingOrder) {
  // Destination (10, 20)-(110, 80), cell (30, 0, 24, 24) of a strip, corner 8.
  const auto p = SliceNinePart(10, 20, 110, 80, Box{30, 0, 24, 24}, Margins{8, 8, 8, 8});
  const Box dst[9] = {{10, 20, 8, 8},   {10, 28, 8, 44}, {10, 72, 8, 8},  {18, 20, 84, 8}, {102, 20, 8, 8},
                      {102, 28, 8, 44}, {102, 72, 8, 8}, {18, 72, 84, 8}, {18, 28, 84, 44}};
  const Box src[9] = {{30, 0, 8, 8}, {30, 8, 8, 8},  {30, 16, 8, 8}, {38, 0, 8, 8}, {46, 0, 8, 8},
                      {46, 8, 8, 8}, {46, 16, 8, 8}, {38, 16, 8, 8}, {38, 8, 8, 8}};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(p[i].dst, dst[i]) << "piece " << i;
    EXPECT_EQ(p[i].src, src[i]) << "piece " << i;
    EXPECT_TRUE(p[i].Drawable()) << "piece " << i;
  }
}

TEST(NinePartTest, SeparateMarginsShapeCornersAndSpans) {
  const auto p = SliceNinePart(0, 0, 50, 40, Box{0, 0, 20, 30}, Margins{2, 3, 4, 5});
  EXPECT_EQ(p[0].dst, (Box{0, 0, 2, 3}));
  EXPECT_EQ(p[4].dst, (Box{46, 0, 4, 3}));
  EXPECT_EQ(p[2].dst, (Box{0, 35, 2, 5}));
  EXPECT_EQ(p[6].dst, (Box{46, 35, 4, 5}));
  EXPECT_EQ(p[8].dst, (Box{2, 3, 44, 32}));
  EXPECT_EQ(p[8].src, (Box{2, 3, 14, 22}));
  EXPECT_EQ(p[6].src, (Box{16, 25, 4, 5}));
}

TEST(NinePartTest, ZeroCornerLeavesOnlyTheWholeCellStretched) {
  const auto p = SliceNinePart(5, 5, 65, 45, Box{12, 0, 12, 12}, Margins{});
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(p[i].Drawable()) << "piece " << i;
  EXPECT_TRUE(p[8].Drawable());
  EXPECT_EQ(p[8].dst, (Box{5, 5, 60, 40}));
  EXPECT_EQ(p[8].src, (Box{12, 0, 12, 12}));
}

TEST(NinePartTest, DestinationSmallerThanTwoCornersDrawsOnlyCorners) {
  const auto p = SliceNinePart(0, 0, 10, 12, Box{0, 0, 24, 24}, Margins{8, 8, 8, 8});
  // Edges and middle have negative spans and must be skipped, never mirrored.
  for (int i : {1, 3, 5, 7, 8}) EXPECT_FALSE(p[i].Drawable()) << "piece " << i;
  for (int i : {0, 2, 4, 6}) EXPECT_TRUE(p[i].Drawable()) << "piece " << i;
  EXPECT_EQ(p[6].dst, (Box{2, 4, 8, 8}));
  // A source cell too small for its margins draws no stretched parts either.
  const auto q = SliceNinePart(0, 0, 100, 100, Box{0, 0, 10, 10}, Margins{6, 6, 6, 6});
  EXPECT_FALSE(q[8].Drawable());
  EXPECT_FALSE(q[1].Drawable());
}
