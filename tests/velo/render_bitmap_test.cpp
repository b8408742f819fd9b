#include <gtest/gtest.h>

#include "tests/velo/render_support.h"
#include "velo/render/mrender.h"

using VELO::CRect;
using VELO::MRender;
using velo_test::Canvas;
using velo_test::ReadWholeFile;
using velo_test::TempFolder;

namespace {

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t Read16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(ARGB32BitmapTest, BottomUp32BitDibWithItsPixels) {
  BYTE* bits = nullptr;
  const auto bitmap = MRender::CreateARGB32Bitmap(nullptr, 7, 5, &bits);
  ASSERT_TRUE(bitmap);
  ASSERT_NE(bits, nullptr);
  DIBSECTION dib{};
  ASSERT_EQ(::GetObjectW(bitmap.get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
  EXPECT_EQ(dib.dsBmih.biWidth, 7);
  EXPECT_EQ(dib.dsBmih.biHeight, 5);
  EXPECT_EQ(dib.dsBmih.biBitCount, 32);
  EXPECT_EQ(dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(dib.dsBm.bmBits, bits);
  BYTE* none = reinterpret_cast<BYTE*>(1);
  EXPECT_FALSE(MRender::CreateARGB32Bitmap(nullptr, 0, 0, &none));
  EXPECT_EQ(none, nullptr);
}

TEST(SaveBitmapTest, WritesA24BitFileWithBottomUpRows) {
  Canvas canvas(37, 21, 0xFF0000FFu);
  canvas.SetPixel(0, 0, 0xFFFF0000u);    // top-left red
  canvas.SetPixel(36, 20, 0xFF00FF00u);  // bottom-right green
  TempFolder folder;
  const std::wstring path = folder.File(L"saved.bmp");
  ASSERT_TRUE(MRender::SaveBitmapToFile(canvas.bitmap(), path.c_str()));

  const auto file = ReadWholeFile(path);
  // 37 pixels of 3 bytes = 111, padded to 112.
  const size_t stride = 112;
  ASSERT_EQ(file.size(), 54 + stride * 21);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Read32(file, 2), file.size());
  EXPECT_EQ(Read32(file, 6), 0u);
  EXPECT_EQ(Read32(file, 10), 54u);
  EXPECT_EQ(Read32(file, 14), 40u);
  EXPECT_EQ(Read32(file, 18), 37u);
  EXPECT_EQ(Read32(file, 22), 21u);
  EXPECT_EQ(Read16(file, 26), 1);
  EXPECT_EQ(Read16(file, 28), 24);
  for (size_t i = 30; i < 54; ++i) EXPECT_EQ(file[i], 0) << "header byte " << i;
  // The first stored row is the bottom one; pixels are B, G, R.
  const size_t bottomRight = 54 + 36 * 3;
  const size_t topLeft = 54 + 20 * stride;
  const size_t middle = 54 + 10 * stride + 18 * 3;
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + bottomRight, file.begin() + bottomRight + 3),
            (std::vector<uint8_t>{0, 255, 0}));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + topLeft, file.begin() + topLeft + 3),
            (std::vector<uint8_t>{0, 0, 255}));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + middle, file.begin() + middle + 3),
            (std::vector<uint8_t>{255, 0, 0}));
  // Saving again replaces the file.
  Canvas small(2, 2);
  ASSERT_TRUE(MRender::SaveBitmapToFile(small.bitmap(), path.c_str()));
  EXPECT_EQ(ReadWholeFile(path).size(), 54u + 8 * 2);
}

TEST(SaveBitmapTest, MissingFolderFailsAndWritesNothing) {
  Canvas canvas(4, 4);
  TempFolder folder;
  const std::wstring path = folder.File(L"no-such-folder\\saved.bmp");
  EXPECT_FALSE(MRender::SaveBitmapToFile(canvas.bitmap(), path.c_str()));
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(Exists(folder.File(L"no-such-folder")));
}

TEST(SaveBitmapTest, UnreadableBitmapFailsAndLeavesTheOldFile) {
  TempFolder folder;
  const std::wstring path = folder.File(L"kept.bmp");
  Canvas canvas(3, 3);
  ASSERT_TRUE(MRender::SaveBitmapToFile(canvas.bitmap(), path.c_str()));
  const auto before = ReadWholeFile(path);
  EXPECT_FALSE(MRender::SaveBitmapToFile(nullptr, path.c_str()));
  // A deleted bitmap's handle is no bitmap any more.
  HBITMAP gone = ::CreateCompatibleBitmap(canvas.dc(), 4, 4);
  ::DeleteObject(gone);
  EXPECT_FALSE(MRender::SaveBitmapToFile(gone, path.c_str()));
  EXPECT_EQ(ReadWholeFile(path), before);
}

TEST(ImageRectTest, FitsWithoutEnlargingAndCentres) {
  // The arithmetic is tested natively; this checks the CRect wiring.
  EXPECT_EQ(MRender::GetImageRect(400, 100, CRect(0, 0, 200, 200)), CRect(0, 75, 200, 125));
  EXPECT_EQ(MRender::GetImageRect(20, 10, CRect(100, 50, 300, 250)), CRect(190, 145, 210, 155));
}
