#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/velo/render_support.h"
#include "velo/render/mrender.h"

using VELO::CRect;
using VELO::MRender;
using velo_test::Alpha;
using velo_test::Argb;
using velo_test::Canvas;
using velo_test::ColorDistance;
using velo_test::TestFile;

namespace {

// velo_render_cells.png: 12 x 12, blocks of 4 x 4 pixels. Rows: red, green,
// blue / yellow, half-transparent magenta, cyan / white, black, transparent.
const wchar_t kCells[] = L"velo_render_cells.png";
constexpr UINT kCellsResource = 201;
constexpr UINT kBrokenResource = 202;

// Draws the image 1:1 over grey and checks the blocks.
void ExpectCells(Gdiplus::Image* image) {
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->GetWidth(), 12u);
  ASSERT_EQ(image->GetHeight(), 12u);
  Canvas canvas(12, 12, 0xFF808080u);
  {
    Gdiplus::Graphics g(canvas.dc());
    ASSERT_EQ(g.DrawImage(image, 0, 0, 12, 12), Gdiplus::Ok);
  }
  EXPECT_EQ(ColorDistance(canvas.Pixel(1, 1), 0xFF0000u), 0);
  EXPECT_EQ(ColorDistance(canvas.Pixel(6, 2), 0x00FF00u), 0);
  EXPECT_EQ(ColorDistance(canvas.Pixel(10, 10), 0x808080u), 0) << "transparent block";
  // Half-transparent magenta over grey: (255+128)/2, 128/2, (255+128)/2.
  EXPECT_LE(ColorDistance(canvas.Pixel(5, 5), 0xC040C0u), 2);
}

}  // namespace

TEST(LoadImageTest, FromFileDecodesPngWithAlpha) {
  auto image = MRender::LoadImageFromFile(TestFile(kCells).c_str());
  ExpectCells(image.get());
}

TEST(LoadImageTest, MissingOrUndecodableFilesGiveNull) {
  EXPECT_EQ(MRender::LoadImageFromFile(TestFile(L"velo_render_no_such.png").c_str()), nullptr);
  EXPECT_EQ(MRender::LoadImageFromFile(L""), nullptr);
  velo_test::TempFolder folder;
  const std::wstring junk = folder.File(L"junk.png");
  std::ofstream(std::filesystem::path(junk), std::ios::binary) << "definitely not a png";
  EXPECT_EQ(MRender::LoadImageFromFile(junk.c_str()), nullptr);
  EXPECT_EQ(MRender::LoadImageFromFileEx(junk.c_str(), 4, 4), nullptr);
}

TEST(LoadImageTest, ThumbnailTakesTheRequestedSizeOrKeepsItsOwn) {
  auto same = MRender::LoadImageFromFileEx(TestFile(kCells).c_str(), 0, 0);
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(same->GetWidth(), 12u);
  EXPECT_EQ(same->GetHeight(), 12u);
  auto small = MRender::LoadImageFromFileEx(TestFile(kCells).c_str(), 6, 3);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(small->GetWidth(), 6u);
  EXPECT_EQ(small->GetHeight(), 3u);
  EXPECT_EQ(MRender::LoadImageFromFileEx(TestFile(L"velo_render_no_such.png").c_str(), 0, 0), nullptr);
}

TEST(LoadImageTest, FromResourceOfTheGivenModule) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  auto image = MRender::LoadImageFromIDResource(kCellsResource, L"PNG", self);
  ExpectCells(image.get());
  // The image may decode lazily from its stream: it must stay usable after
  // other loads and frees.
  for (int i = 0; i < 20; ++i) {
    auto other = MRender::LoadImageFromIDResource(kCellsResource, L"PNG", self);
    ASSERT_NE(other, nullptr);
  }
  ExpectCells(image.get());
}

TEST(LoadImageTest, MissingOrBrokenResourcesGiveNull) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  EXPECT_EQ(MRender::LoadImageFromIDResource(999, L"PNG", self), nullptr);
  EXPECT_EQ(MRender::LoadImageFromIDResource(kCellsResource, L"GIF", self), nullptr);
  // Present but not an image: no half-made image is handed out.
  EXPECT_EQ(MRender::LoadImageFromIDResource(kBrokenResource, L"PNG", self), nullptr);
  // The library's own module does not carry the test's images.
  EXPECT_EQ(MRender::LoadImageFromIDResource(kCellsResource, L"PNG", ::GetModuleHandleW(L"VELO.dll")),
            nullptr);
}

TEST(LoadIconTest, IconFileGivesItsOwnIcon) {
  const auto icon = MRender::LoadIconFromFile(TestFile(L"velo_render_icon.ico").c_str());
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
  const ostrel::win::unique_hbitmap color(info.hbmColor);
  const ostrel::win::unique_hbitmap mask(info.hbmMask);
  BITMAP bm{};
  ASSERT_TRUE(::GetObjectW(info.hbmColor, sizeof(bm), &bm));
  EXPECT_EQ(bm.bmWidth, 32);
  // Drawn, its centre has the inner square's colour.
  Canvas canvas(32, 32, 0xFF000000u);
  ASSERT_TRUE(::DrawIconEx(canvas.dc(), 0, 0, icon.get(), 32, 32, 0, nullptr, DI_NORMAL));
  EXPECT_LE(ColorDistance(canvas.Pixel(16, 16), 0xF05030u), 2);
  EXPECT_LE(ColorDistance(canvas.Pixel(2, 2), 0x3050F0u), 2);
}
