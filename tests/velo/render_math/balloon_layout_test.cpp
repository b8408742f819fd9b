#include "velo/plain/balloon_layout.h"

#include <gtest/gtest.h>

namespace VELO::render {
namespace {

TEST(BalloonLayout, ModesPlaceTheBubbleAroundThePointAndTheWorkAreaKeepsIt) {
  // Text 60 wide, lines 16 high, anchor (500, 300).
  EXPECT_EQ(BalloonRect(1, 500, 300, 60, 16, 1), (Edges{500, 282, 600, 318}));
  EXPECT_EQ(BalloonRect(2, 500, 300, 60, 16, 1), (Edges{400, 273, 500, 309}));
  EXPECT_EQ(BalloonRect(3, 500, 300, 60, 16, 1), (Edges{475, 300, 575, 346}));
  EXPECT_EQ(BalloonRect(4, 500, 300, 60, 16, 1), (Edges{455, 264, 545, 300}));
  EXPECT_EQ(BalloonRect(5, 500, 300, 60, 16, 1), (Edges{500, 290, 600, 271}));
  EXPECT_EQ(BalloonRect(0, 500, 300, 60, 16, 1), Edges{});
  // Three lines below the point: 3 x H + 30 high.
  EXPECT_EQ(BalloonRect(3, 500, 300, 60, 16, 3).Height(), 3 * 16 + 30);

  const Edges work{0, 0, 1024, 738};
  // Inside already: unchanged.
  EXPECT_EQ(KeepInside(Edges{10, 10, 110, 56}, work), (Edges{10, 10, 110, 56}));
  // Under a control at the bottom-right corner: moved up and left, same size.
  EXPECT_EQ(KeepInside(BalloonRect(3, 1024, 738, 60, 16, 1), work), (Edges{924, 692, 1024, 738}));
  // Off the top-left: moved right and down.
  EXPECT_EQ(KeepInside(Edges{-30, -5, 70, 41}, work), (Edges{0, 0, 100, 46}));
  // Larger than the area: its left and top edges stay on the area's.
  EXPECT_EQ(KeepInside(Edges{900, 700, 2100, 1500}, work), (Edges{0, 0, 1200, 800}));
}

}  // namespace
}  // namespace VELO::render
