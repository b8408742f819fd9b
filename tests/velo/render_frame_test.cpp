#include <gtest/gtest.h>

#include "tests/velo/render_support.h"
#include "velo/render/mrender.h"

using VELO::CRect;
using VELO::MRender;
using velo_test::Argb;
using velo_test::Canvas;
using velo_test::MakeBlockImage;

namespace {

constexpr Argb kBack = 0xFF101010u;
// Top-left, top, top-right, left, middle, right, bottom-left, bottom,
// bottom-right.
constexpr Argb kCells[9] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFFFF00FFu,
                            0xFF00FFFFu, 0xFFFFFFFFu, 0xFF808080u, 0xFF804000u};
constexpr Argb kOther[9] = {0xFF400000u, 0xFF004000u, 0xFF000040u, 0xFF404000u, 0xFF400040u,
                            0xFF004040u, 0xFFC0C0C0u, 0xFF202020u, 0xFF402000u};

// Crisp sampling, so that block boundaries land on whole pixels. (Wine's
// GDI+ still leaves the first pixel of a span stretched along both axes
// uncovered, so the probes of stretched parts stay one pixel inside.)
void UseNearestPixels(Gdiplus::Graphics& g) {
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
}

struct Probe {
  int x, y;
  Argb expected;
};

void ExpectPixels(const Canvas& canvas, std::initializer_list<Probe> probes) {
  for (const Probe& p : probes) {
    EXPECT_EQ(canvas.Pixel(p.x, p.y) & 0xFFFFFF, p.expected & 0xFFFFFF) << "at " << p.x << "," << p.y;
  }
}

}  // namespace

TEST(DrawImageFrameTest, CornersKeepTheirSizeEdgesAndMiddleStretch) {
  auto image = MakeBlockImage({8, 8, 8}, {8, 8, 8}, kCells);
  Canvas canvas(100, 80, kBack);
  {
    Gdiplus::Graphics g(canvas.dc());
    UseNearestPixels(g);
    MRender::DrawImageFrame(g, image.get(), CRect(10, 10, 90, 70), 0, 0, 24, 24, 8);
  }
  ExpectPixels(canvas, {{10, 10, kCells[0]},
                        {17, 17, kCells[0]},
                        {50, 10, kCells[1]},
                        {89, 10, kCells[2]},
                        {82, 17, kCells[2]},
                        {10, 40, kCells[3]},
                        {19, 19, kCells[4]},
                        {81, 61, kCells[4]},
                        {89, 40, kCells[5]},
                        {10, 69, kCells[6]},
                        {17, 62, kCells[6]},
                        {50, 69, kCells[7]},
                        {89, 69, kCells[8]},
                        {82, 62, kCells[8]}});
  // Nothing outside the destination.
  ExpectPixels(canvas, {{9, 9, kBack}, {90, 40, kBack}, {50, 70, kBack}, {50, 9, kBack}});
}

TEST(DrawImageFrameTest, SourceCellPicksOneFrameOfAStrip) {
  // Two frames side by side; frame 1 starts at x = 24.
  auto strip = std::make_unique<Gdiplus::Bitmap>(48, 24, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(strip.get());
    UseNearestPixels(g);
    auto first = MakeBlockImage({8, 8, 8}, {8, 8, 8}, kCells);
    auto second = MakeBlockImage({8, 8, 8}, {8, 8, 8}, kOther);
    g.DrawImage(first.get(), 0, 0, 24, 24);
    g.DrawImage(second.get(), 24, 0, 24, 24);
  }
  Canvas canvas(60, 60, kBack);
  {
    Gdiplus::Graphics g(canvas.dc());
    UseNearestPixels(g);
    MRender::DrawImageFrame(g, strip.get(), CRect(0, 0, 60, 60), 24, 0, 24, 24, 8);
  }
  ExpectPixels(
      canvas,
      {{0, 0, kOther[0]}, {59, 0, kOther[2]}, {30, 30, kOther[4]}, {59, 59, kOther[8]}, {30, 59, kOther[7]}});
}

TEST(DrawImageFrameTest, CornerZeroStretchesTheWholeCell) {
  auto image = MakeBlockImage({8, 8, 8}, {8, 8, 8}, kCells);
  Canvas canvas(70, 70, kBack);
  {
    Gdiplus::Graphics g(canvas.dc());
    UseNearestPixels(g);
    MRender::DrawImageFrame(g, image.get(), CRect(5, 5, 65, 65), 0, 0, 24, 24, 0);
  }
  // Each 8-pixel block becomes 20 pixels.
  ExpectPixels(canvas, {{6, 6, kCells[0]},
                        {15, 15, kCells[0]},
                        {35, 15, kCells[1]},
                        {63, 6, kCells[2]},
                        {15, 35, kCells[3]},
                        {35, 35, kCells[4]},
                        {55, 35, kCells[5]},
                        {6, 63, kCells[6]},
                        {35, 55, kCells[7]},
                        {63, 63, kCells[8]},
                        {4, 4, kBack},
                        {65, 65, kBack},
                        {65, 30, kBack},
                        {30, 65, kBack}});
}

TEST(DrawImageFrameTest, DestinationSmallerThanTwoCornersDrawsOverlappingCornersOnly) {
  auto image = MakeBlockImage({8, 8, 8}, {8, 8, 8}, kCells);
  Canvas canvas(20, 20, kBack);
  {
    Gdiplus::Graphics g(canvas.dc());
    UseNearestPixels(g);
    MRender::DrawImageFrame(g, image.get(), CRect(0, 0, 10, 12), 0, 0, 24, 24, 8);
    EXPECT_EQ(g.GetLastStatus(), Gdiplus::Ok);
  }
  // Corners at (0,0), (0,4), (2,0), (2,4), each 8 x 8, later ones on top;
  // the edges and the middle have negative spans and draw nothing (no
  // mirrored copies).
  ExpectPixels(canvas, {{0, 0, kCells[0]},
                        {1, 3, kCells[0]},
                        {0, 4, kCells[6]},
                        {1, 11, kCells[6]},
                        {2, 0, kCells[2]},
                        {9, 3, kCells[2]},
                        {2, 4, kCells[8]},
                        {9, 11, kCells[8]},
                        {10, 5, kBack},
                        {5, 12, kBack}});
}

TEST(DrawImageFrameTest, FourMarginsCutUnequalCorners) {
  // Columns 4, 12, 8 and rows 6, 10, 8: margins left 4, top 6, right 8,
  // bottom 8.
  auto image = MakeBlockImage({4, 12, 8}, {6, 10, 8}, kCells);
  Canvas canvas(100, 100, kBack);
  {
    Gdiplus::Graphics g(canvas.dc());
    UseNearestPixels(g);
    MRender::DrawImageFrameMID(g, image.get(), CRect(0, 0, 100, 100), 0, 0, 24, 24, 4, 6, 8, 8);
  }
  ExpectPixels(canvas, {{3, 5, kCells[0]},
                        {4, 5, kCells[1]},
                        {3, 6, kCells[3]},
                        {91, 5, kCells[1]},
                        {92, 0, kCells[2]},
                        {92, 91, kCells[5]},
                        {92, 92, kCells[8]},
                        {3, 92, kCells[6]},
                        {50, 50, kCells[4]},
                        {50, 99, kCells[7]},
                        {99, 99, kCells[8]}});
}

TEST(DrawImageFrameTest, NullImageDrawsNothing) {
  Canvas canvas(10, 10, kBack);
  Gdiplus::Graphics g(canvas.dc());
  MRender::DrawImageFrame(g, nullptr, CRect(0, 0, 10, 10), 0, 0, 4, 4, 1);
  MRender::DrawImageFrameMID(g, nullptr, CRect(0, 0, 10, 10), 0, 0, 4, 4, 1, 1, 1, 1);
  g.Flush();
  ExpectPixels(canvas, {{0, 0, kBack}, {5, 5, kBack}});
}
