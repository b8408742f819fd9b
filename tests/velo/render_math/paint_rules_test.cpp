#include "velo/plain/paint_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace VELO::render {
namespace {

TEST(PaintRules, WindowTimerIdsCycleBelow240AndSkipReservedAndTakenIds) {
  unsigned counter = 4096;
  const auto none = [](unsigned) { return false; };
  EXPECT_EQ(NextWindowTimerId(counter, none), 17u);
  std::set<unsigned> seen;
  for (int i = 0; i < 240; ++i) seen.insert(NextWindowTimerId(counter, none));
  EXPECT_EQ(seen.size(), 237u);  // 240 less the overlay's 66, 88 and 99
  for (unsigned reserved : {66u, 88u, 99u}) EXPECT_EQ(seen.count(reserved), 0u);
  EXPECT_LT(*seen.rbegin(), 240u);
  // Ids still in use are passed over; all taken gives the failure value.
  counter = 16;
  EXPECT_EQ(NextWindowTimerId(counter, [](unsigned id) { return id == 17 || id == 18; }), 19u);
  EXPECT_EQ(NextWindowTimerId(counter, [](unsigned) { return true; }), 0xFFFFFFFFu);
  counter = 65;
  EXPECT_EQ(NextWindowTimerId(counter, none), 67u);
}

TEST(PaintRules, FadeAndProgressSteps) {
  int alpha = 255, steps = 0;
  for (FadeStep s{255, false}; !s.finished; ++steps) {
    s = NextFadeAlpha(alpha);
    alpha = s.alpha;
  }
  EXPECT_EQ(alpha, 0);
  EXPECT_EQ(steps, 24);  // 255, 245 ... 25, then below 20: gone
  EXPECT_EQ(NextFadeAlpha(30).alpha, 20);
  EXPECT_TRUE(NextFadeAlpha(29).finished);

  EXPECT_EQ(NextProgress(0, 50).progress, 2);
  EXPECT_FALSE(NextProgress(0, 50).reached);
  EXPECT_EQ(NextProgress(49, 50).progress, 50);  // never past the target
  EXPECT_TRUE(NextProgress(48, 50).reached);
  EXPECT_TRUE(ProgressJumps(97, 100));
  EXPECT_FALSE(ProgressJumps(0, 50));
  EXPECT_TRUE(ProgressJumps(60, 20));  // backwards: at once
  EXPECT_EQ(ProgressBarWidth(50, 220), 100);
  EXPECT_EQ(ProgressBarWidth(150, 220), 200);
  EXPECT_EQ(ProgressBarWidth(-5, 220), 0);
  EXPECT_EQ(ProgressBarWidth(50, 10), 0);
}

TEST(PaintRules, ModifierCodeAndFocusOrder) {
  EXPECT_EQ(ModifierCode(false, false, false), 0u);
  EXPECT_EQ(ModifierCode(false, true, false), 16u);
  EXPECT_EQ(ModifierCode(true, true, false), 18u);
  EXPECT_EQ(ModifierCode(false, false, true), 17u);
  EXPECT_EQ(ModifierCode(false, true, true), 17u);  // 16 | 17

  const std::vector<bool> f{false, true, false, true};
  EXPECT_EQ(NextFocusIndex(f, -1, true), 1);
  EXPECT_EQ(NextFocusIndex(f, 1, true), 3);
  EXPECT_EQ(NextFocusIndex(f, 3, true), 1);  // wraps
  EXPECT_EQ(NextFocusIndex(f, -1, false), 3);
  EXPECT_EQ(NextFocusIndex(f, 1, false), 3);
  EXPECT_EQ(NextFocusIndex(f, 0, true), 1);  // from a focus that cannot take it
  EXPECT_EQ(NextFocusIndex({true}, 0, true), 0);
  EXPECT_EQ(NextFocusIndex({false, false}, -1, true), -1);
  EXPECT_EQ(NextFocusIndex({}, -1, true), -1);
  EXPECT_EQ(NextFocusIndex(f, 4, true), -1);
}

TEST(PaintRules, TextFlagsPlacementAndTiles) {
  EXPECT_EQ(TextFormatFlags(false), 0x1800u);
  EXPECT_EQ(TextFormatFlags(true), 0x4800u);
  EXPECT_EQ(HorizontalStringAlignment(1), 1);
  EXPECT_EQ(HorizontalStringAlignment(2), 2);
  EXPECT_EQ(HorizontalStringAlignment(7), 0);
  EXPECT_EQ(VerticalStringAlignment(4), 1);
  EXPECT_EQ(VerticalStringAlignment(8), 2);
  EXPECT_EQ(VerticalStringAlignment(1), 0);

  // Mode 0 defaults (0, 4): left edge, centred vertically; other codes centre.
  EXPECT_EQ(PicturePlacement(100, 50, 20, 10, 0, 4).x, 0);
  EXPECT_EQ(PicturePlacement(100, 50, 20, 10, 0, 4).y, 20);
  EXPECT_EQ(PicturePlacement(100, 50, 20, 10, 1, 4).x, 40);
  EXPECT_EQ(PicturePlacement(100, 50, 20, 10, 2, 8).x, 80);
  EXPECT_EQ(PicturePlacement(100, 50, 20, 10, 2, 8).y, 40);
  EXPECT_EQ(PicturePlacement(100, 50, 20, 10, 9, 0).x, 40);

  const auto tiles = PictureTiles(25, 12, 10, 10);
  ASSERT_EQ(tiles.size(), 6u);
  EXPECT_EQ(tiles[2], (Tile{20, 0, 5, 10}));
  EXPECT_EQ(tiles[5], (Tile{20, 10, 5, 2}));
  EXPECT_TRUE(PictureTiles(0, 10, 10, 10).empty());
  EXPECT_TRUE(PictureTiles(10, 10, 0, 10).empty());
  EXPECT_EQ(PictureTiles(3, 100000, 1, 100000).size(), 3u);
}

}  // namespace
}  // namespace VELO::render
