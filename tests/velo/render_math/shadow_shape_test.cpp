#include "velo/plain/shadow_shape.h"

#include <gtest/gtest.h>

namespace VELO::render {
namespace {

int AlphaOf(uint32_t px) { return static_cast<int>(px >> 24); }

TEST(ShadowShape, SoftEdgeFallsOffOutwardAndSparesTheWindow) {
  // A 60 x 40 rectangular window, shadow 10 wide with a 5-pixel soft edge,
  // shifted 5 right and down, in red.
  const std::vector<RowSpan> rows(40, RowSpan{0, 59});
  ShadowParams p;
  p.size = 10;
  p.sharpness = 5;
  p.darkness = 150;
  p.color = 0x00FF0000;
  const ShadowImage img = MakeShadowImage(rows, 60, p);
  ASSERT_EQ(img.width, 80);
  ASSERT_EQ(img.height, 60);

  // Along the middle row, from the shape's right edge (x 69) outward: the
  // core up to 5 pixels out, then falling strictly to the image's edge.
  const int y = 30;
  for (int x = 65; x <= 74; ++x) EXPECT_EQ(AlphaOf(img.At(x, y)), 150) << x;
  for (int x = 75; x <= 79; ++x) EXPECT_LT(AlphaOf(img.At(x, y)), AlphaOf(img.At(x - 1, y))) << x;
  EXPECT_EQ(AlphaOf(img.At(75, y)), 125);  // (1 - 1/6) x 150, truncated
  EXPECT_EQ(AlphaOf(img.At(79, y)), 24);   // (1 - 5/6) x 150 in floating point
  // The same fall-off above the top edge (the outline, not only row ends;
  // rows 5 on lie under the window).
  for (int yy = 3; yy >= 0; --yy) EXPECT_LT(AlphaOf(img.At(40, yy)), AlphaOf(img.At(40, yy + 1))) << yy;
  // Premultiplied colour: red scaled by alpha, nothing else.
  EXPECT_EQ(img.At(70, y), 0x96960000u);
  // The window covers image (5..64, 5..44): cleared, so a translucent window
  // never shows its own shadow.
  EXPECT_EQ(img.At(5, 5), 0u);
  EXPECT_EQ(img.At(64, 44), 0u);
  EXPECT_EQ(img.At(30, 20), 0u);
  EXPECT_EQ(AlphaOf(img.At(66, 30)), 150);
  // Corners round off: the far corner is fainter than the edge midpoints.
  EXPECT_LT(AlphaOf(img.At(78, 58)), AlphaOf(img.At(78, 30)));

  // A sharper edge than the size erodes the shape: the core shrinks inward.
  p.size = 3;
  p.sharpness = 8;
  const ShadowImage eroded = MakeShadowImage(rows, 60, p);
  EXPECT_EQ(eroded.width, 66);
  EXPECT_LT(AlphaOf(eroded.At(65, 23)), AlphaOf(eroded.At(60, 23)));
  EXPECT_GT(AlphaOf(eroded.At(64, 23)), 0);

  // A rounded outline (rows missing at the corners) and degenerate input.
  std::vector<RowSpan> round = rows;
  round[0] = RowSpan{3, 56};
  round[39] = RowSpan{};
  p = ShadowParams{};
  p.size = 4;
  const ShadowImage shaped = MakeShadowImage(round, 60, p);
  EXPECT_EQ(shaped.height, 48);
  p.size = -31;
  EXPECT_TRUE(MakeShadowImage(rows, 60, p).pixels.empty());
  EXPECT_TRUE(MakeShadowImage({}, 0, ShadowParams{}).pixels.empty());
}

}  // namespace
}  // namespace VELO::render
