// The gallery's picture, as rendered in CI: a few regions that each control
// (and each window beside the dialog) can only show when it drew. Not a
// byte-for-byte comparison: fonts and filtering may move pixels slightly.
#include <gtest/gtest.h>
#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <functional>
#include <memory>

#include "tests/velo/render_support.h"
#include "tools/velo-gallery/gallery_layout.h"

using namespace velo_gallery;
using velo_test::Argb;
using velo_test::ColorDistance;

namespace {

class Picture {
 public:
  explicit Picture(const std::wstring& path) : image_(Gdiplus::Bitmap::FromFile(path.c_str())) {}
  bool Ok() const { return image_ && image_->GetLastStatus() == Gdiplus::Ok; }
  int Width() const { return static_cast<int>(image_->GetWidth()); }
  int Height() const { return static_cast<int>(image_->GetHeight()); }
  Argb At(int x, int y) const {
    Gdiplus::Color c;
    image_->GetPixel(x, y, &c);
    return c.GetValue();
  }
  // Pixels of a dialog client box (dialog coordinates) that pass `test`.
  int Count(const Box& b, const std::function<bool(Argb)>& test, bool client = true) const {
    const int ox = client ? kDialog.left : 0;
    const int oy = client ? kDialog.top : 0;
    int n = 0;
    for (int y = b.top; y < b.bottom; ++y) {
      for (int x = b.left; x < b.right; ++x) n += test(At(x + ox, y + oy)) ? 1 : 0;
    }
    return n;
  }
  Argb Client(int x, int y) const { return At(x + kDialog.left, y + kDialog.top); }

 private:
  std::unique_ptr<Gdiplus::Bitmap> image_;
};

bool Dark(Argb p) { return velo_test::Red(p) + velo_test::Green(p) + velo_test::Blue(p) < 200; }
bool White(Argb p) {
  return velo_test::Red(p) > 220 && velo_test::Green(p) > 220 && velo_test::Blue(p) > 220;
}

TEST(Gallery, EveryControlAndWindowDrew) {
  Picture pic(velo_test::TestFile(L"gallery\\gallery.png"));
  ASSERT_TRUE(pic.Ok()) << "run velo-gallery first";
  ASSERT_EQ(pic.Width(), kCapture.right - kCapture.left);
  ASSERT_EQ(pic.Height(), kCapture.bottom - kCapture.top);
  ASSERT_TRUE(Picture(velo_test::TestFile(L"gallery\\gallery-dialog.png")).Ok());

  // Frame-mode background: the rim at the corners, the light face inside.
  EXPECT_LE(ColorDistance(pic.Client(3, kDialog.bottom - kDialog.top - 3), kFrameEdge), 12);
  EXPECT_LE(ColorDistance(pic.Client(140, 180), kFramePanel), 12);
  // Picture: the emblem's orange at its centre ring's edge, white ring.
  EXPECT_LE(ColorDistance(pic.Client(kPicture.left + 12, kPicture.cy()), kPictureCore), 30);
  EXPECT_GT(pic.Count(kPicture, White), 100);
  // Texts: ink in each box, placed by alignment (left text starts left,
  // right text ends right).
  for (const Box& b : {kTextLeft, kTextCenter, kTextRight, kTextMulti, kTextLong}) {
    EXPECT_GT(pic.Count(b, Dark), 20) << b.left << "," << b.top;
  }
  const int third = (kTextLeft.right - kTextLeft.left) / 3;
  EXPECT_GT(pic.Count({kTextLeft.left, kTextLeft.top, kTextLeft.left + third, kTextLeft.bottom}, Dark), 20);
  EXPECT_EQ(pic.Count({kTextLeft.right - third, kTextLeft.top, kTextLeft.right, kTextLeft.bottom}, Dark), 0);
  EXPECT_EQ(pic.Count({kTextRight.left, kTextRight.top, kTextRight.left + third, kTextRight.bottom}, Dark),
            0);
  // Multi-line: ink on three rows.
  const int row = (kTextMulti.bottom - kTextMulti.top) / 4;
  for (int i = 0; i < 3; ++i) {
    const Box line{kTextMulti.left, kTextMulti.top + i * row, kTextMulti.right,
                   kTextMulti.top + (i + 1) * row};
    EXPECT_GT(pic.Count(line, Dark), 5) << i;
  }
  // Long text: ink right up to the box's end.
  EXPECT_GT(pic.Count({kTextLong.right - 40, kTextLong.top, kTextLong.right, kTextLong.bottom}, Dark), 5);
  // Buttons: each shows its own frame of the strip, with its caption.
  for (int i = 0; i < 4; ++i) {
    const Box& b = kButtons[i];
    EXPECT_LE(ColorDistance(pic.Client(b.left + 20, b.top + 6), kButtonFrames[i]), 12) << i;
    EXPECT_GT(pic.Count(b, [i](Argb p) { return ColorDistance(p, kButtonFrames[i]) > 60; }), 20) << i;
  }
  // Translucent area: green at its opaque end, nearly the panel at the other.
  const Argb areaOpaque = pic.Client(kArea.cx(), kArea.bottom - 6);
  const Argb areaClear = pic.Client(kArea.cx(), kArea.top + 2);
  EXPECT_GT(velo_test::Green(areaOpaque), velo_test::Red(areaOpaque) + 40);
  EXPECT_LT(ColorDistance(areaClear, kFramePanel), ColorDistance(areaOpaque, kFramePanel));
  // Shadow: darker just beside the dialog than far from it.
  const int y = (kDialog.top + kDialog.bottom) / 2;
  EXPECT_LT(velo_test::Red(pic.At(kDialog.right + 4, y)), velo_test::Red(pic.At(kDialog.right + 40, y)) - 30);
  // Balloon: a dark bubble with white text under its button.
  const Box balloon{kBalloonAnchor.left, kBalloonAnchor.bottom + 2, kBalloonAnchor.right + 120,
                    kBalloonAnchor.bottom + 50};
  // (The bubble is slightly translucent: the page lightens it.)
  EXPECT_GT(
      pic.Count(balloon,
                [](Argb p) { return velo_test::Red(p) + velo_test::Green(p) + velo_test::Blue(p) < 300; }),
      500);
  EXPECT_GT(pic.Count(balloon, White), 20);
  // Overlay: its box differs from the plain panel and carries text.
  EXPECT_GT(pic.Count(kOverlay, Dark), 20);
  // Pop-up: its face, its rim and its button.
  EXPECT_LE(ColorDistance(pic.At(kPopup.left + 20, kPopup.top + 60), kPopupPanel), 12);
  EXPECT_GT(pic.Count(
                kPopup, [](Argb p) { return ColorDistance(p, kButtonFrames[0]) < 12; }, false),
            200);
}

}  // namespace
