// The rendered skin as the panel, the message box and the tray load it:
// sizes, alpha, frames, and room for what the program draws over it.
#include <gtest/gtest.h>
#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/runtime_sessions_win.h"
#include "tests/app/test_process_win.h"

namespace ostrel::app {
namespace {

namespace fs = std::filesystem;

fs::path Skin(const wchar_t* name) { return testing::BuildFolder() / "bin" / "skins" / "theme1" / name; }

class SkinImage {
 public:
  explicit SkinImage(const wchar_t* name)
      : bitmap_(Gdiplus::Bitmap::FromFile(Skin(name).wstring().c_str())) {}
  bool Loaded() const { return bitmap_ && bitmap_->GetLastStatus() == Gdiplus::Ok; }
  int Width() const { return static_cast<int>(bitmap_->GetWidth()); }
  int Height() const { return static_cast<int>(bitmap_->GetHeight()); }
  bool HasAlpha() const { return (bitmap_->GetPixelFormat() & PixelFormatAlpha) != 0; }
  Gdiplus::Color At(int x, int y) const {
    Gdiplus::Color c;
    bitmap_->GetPixel(x, y, &c);
    return c;
  }
  static int Luma(const Gdiplus::Color& c) {
    return (c.GetR() * 299 + c.GetG() * 587 + c.GetB() * 114) / 1000;
  }

 private:
  std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

class SkinTest : public ::testing::Test {
 protected:
  GdiplusSession gdiplus_;
};

TEST_F(SkinTest, BackgroundsAreTwoPanelsWithADarkOpaqueReadoutWindow) {
  const SkinImage looks[] = {SkinImage(L"img_cpu_bkg5.png"), SkinImage(L"img_cpu_bkg6.png")};
  for (const SkinImage& look : looks) {
    ASSERT_TRUE(look.Loaded());
    EXPECT_EQ(look.Width(), 340);
    EXPECT_EQ(look.Height(), 250);
    EXPECT_TRUE(look.HasAlpha());
    // Rounded corners: the desktop shows through.
    EXPECT_EQ(look.At(0, 0).GetA(), 0);
    EXPECT_EQ(look.At(339, 0).GetA(), 0);
    // The digits (0xFBFBFB, 50 px) are drawn centred in (115, 100)-(235,
    // 160): opaque behind all of it, and dark where two digits land.
    for (int y = 100; y < 160; y += 2) {
      for (int x = 115; x < 235; x += 2) {
        ASSERT_EQ(look.At(x, y).GetA(), 255) << x << "," << y;
        if (x >= 140 && x < 210 && y >= 108 && y < 152) {
          ASSERT_LT(SkinImage::Luma(look.At(x, y)), 48) << x << "," << y;
        }
      }
    }
    // The close button's corner stays plain enough for the button to show.
    for (int y = 25; y < 42; ++y) {
      for (int x = 295; x < 313; ++x) ASSERT_LT(SkinImage::Luma(look.At(x, y)), 80) << x << "," << y;
    }
  }
  int differing = 0;
  for (int y = 0; y < 250; y += 5) {
    for (int x = 0; x < 340; x += 5)
      differing += looks[0].At(x, y).GetValue() != looks[1].At(x, y).GetValue();
  }
  EXPECT_GT(differing, 340 * 250 / 25 / 4) << "tempe_type must show a visibly other look";
}

TEST_F(SkinTest, CloseButtonAndButtonStripFitTheirControls) {
  const SkinImage close(L"img_btn_close.png");
  ASSERT_TRUE(close.Loaded());
  // One frame, drawn at its natural size into the 18 x 17 close rectangle.
  EXPECT_EQ(close.Width(), 18);
  EXPECT_EQ(close.Height(), 17);
  EXPECT_TRUE(close.HasAlpha());
  EXPECT_EQ(close.At(0, 0).GetA(), 0);
  EXPECT_GT(SkinImage::Luma(close.At(6, 6)), 150) << "the cross shows light on the dark panel";

  const SkinImage strip(L"img_button.png");
  ASSERT_TRUE(strip.Loaded());
  ASSERT_EQ(strip.Width() % 4, 0);
  const int frame = strip.Width() / 4;
  // Nine-part drawing with 8-pixel corners needs a middle to stretch.
  EXPECT_GT(frame, 16);
  EXPECT_GT(strip.Height(), 16);
  std::set<std::uint32_t> middles;
  for (int i = 0; i < 4; ++i) {
    const Gdiplus::Color middle = strip.At(i * frame + frame / 2, strip.Height() / 2);
    EXPECT_EQ(middle.GetA(), 255) << "frame " << i;
    middles.insert(middle.GetValue());
  }
  EXPECT_EQ(middles.size(), 4u) << "normal, hover, pressed and disabled look different";
}

TEST_F(SkinTest, IconHoldsEverySizeFrom16To256) {
  std::ifstream in(Skin(L"Ostrel.ico"), std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(bytes[2] | bytes[3] << 8, 1) << "an icon file";
  const int count = bytes[4] | bytes[5] << 8;
  ASSERT_GE(bytes.size(), 6u + 16u * count);
  std::set<int> sizes;
  for (int i = 0; i < count; ++i) {
    const unsigned char* entry = &bytes[6 + 16 * i];
    const int width = entry[0] ? entry[0] : 256;
    EXPECT_EQ(entry[1] ? entry[1] : 256, width);
    sizes.insert(width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 128, 256}));
}

}  // namespace
}  // namespace ostrel::app
