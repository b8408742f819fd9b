#include "velo/plain/placement.h"

#include <gtest/gtest.h>

using VELO::render::CenterInArea;
using VELO::render::Edges;
using VELO::render::FitImage;
using VELO::render::Offset;
using VELO::render::OriginOffset;

TEST(OriginOffsetTest, AlignmentCodes) {
  EXPECT_EQ(OriginOffset(100, 40, 20, 10, 1, 4), (Offset{40, 15}));
  EXPECT_EQ(OriginOffset(100, 40, 20, 10, 2, 8), (Offset{80, 30}));
  EXPECT_EQ(OriginOffset(100, 40, 20, 10, 0, 0), (Offset{0, 0}));
  // Unknown codes fall back to left and top; combined bits are not decoded.
  EXPECT_EQ(OriginOffset(100, 40, 20, 10, 3, 12), (Offset{0, 0}));
  // Content larger than the box goes negative rather than being clamped.
  EXPECT_EQ(OriginOffset(10, 10, 31, 21, 1, 4), (Offset{-10, -5}));
}

TEST(FitImageTest, ShrinksKeepingTheRatioAndCentres) {
  EXPECT_EQ(FitImage(400, 100, {0, 0, 200, 200}), (Edges{0, 75, 200, 125}));
  EXPECT_EQ(FitImage(100, 400, {0, 0, 200, 200}), (Edges{75, 0, 125, 200}));
  // Both sides too large with ratios that integer division would confuse:
  // 300/200 and 120/100 both truncate to 1.
  EXPECT_EQ(FitImage(300, 200, {0, 0, 120, 100}), (Edges{0, 10, 120, 90}));
  // Only the height too large.
  EXPECT_EQ(FitImage(50, 300, {10, 10, 110, 110}), (Edges{52, 10, 68, 110}));
}

TEST(FitImageTest, NeverEnlargesAndEqualSidesFit) {
  EXPECT_EQ(FitImage(20, 10, {0, 0, 200, 200}), (Edges{90, 95, 110, 105}));
  EXPECT_EQ(FitImage(200, 200, {0, 0, 200, 200}), (Edges{0, 0, 200, 200}));
  // The height equals the box, the width does not fit: the width is limited.
  EXPECT_EQ(FitImage(400, 200, {0, 0, 200, 200}), (Edges{0, 50, 200, 150}));
  EXPECT_EQ(FitImage(200, 400, {0, 0, 200, 200}), (Edges{50, 0, 150, 200}));
}

TEST(FitImageTest, DegenerateSizesDoNotDivideByZero) {
  EXPECT_EQ(FitImage(0, 0, {0, 0, 10, 10}), (Edges{5, 5, 5, 5}));
  EXPECT_EQ(FitImage(50, 50, {0, 0, 0, 0}), (Edges{0, 0, 0, 0}));
  EXPECT_EQ(FitImage(50, 0, {0, 0, 10, 0}), (Edges{0, 0, 10, 0}));
  const Edges huge = FitImage(2000000000, 1000000000, {0, 0, 2000000, 2000000});
  EXPECT_EQ(huge, (Edges{0, 500000, 2000000, 1500000}));
}

TEST(CenterInAreaTest, CentresOnTheReferenceAndStaysInside) {
  const Edges screen{0, 0, 1920, 1080};
  EXPECT_EQ(CenterInArea(screen, screen, 400, 300), (Offset{760, 390}));
  // Centred on an owner near the right edge, pushed back inside.
  EXPECT_EQ(CenterInArea({1800, 100, 1900, 200}, screen, 400, 300), (Offset{1520, 0}));
  // Larger than the area: the area's top-left corner.
  EXPECT_EQ(CenterInArea(screen, screen, 2500, 1500), (Offset{0, 0}));
  EXPECT_EQ(CenterInArea({0, 0, 100, 50}, {100, 40, 600, 400}, 600, 500), (Offset{100, 40}));
}
