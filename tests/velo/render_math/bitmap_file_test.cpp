#include "velo/plain/bitmap_file.h"

#include <gtest/gtest.h>

using VELO::render::BitmapFileHeaders;
using VELO::render::BitmapFileLayout;
using VELO::render::FileBitsForDisplay;
using VELO::render::MakeBitmapFileLayout;

namespace {
uint32_t Read32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
}  // namespace

TEST(BitmapFileTest, DepthFollowsTheDisplay) {
  EXPECT_EQ(FileBitsForDisplay(1), 1);
  EXPECT_EQ(FileBitsForDisplay(2), 4);
  EXPECT_EQ(FileBitsForDisplay(4), 4);
  EXPECT_EQ(FileBitsForDisplay(8), 8);
  EXPECT_EQ(FileBitsForDisplay(16), 24);
  EXPECT_EQ(FileBitsForDisplay(32), 24);
}

TEST(BitmapFileTest, TrueColourHeaders) {
  BitmapFileLayout l;
  ASSERT_TRUE(MakeBitmapFileLayout(37, 21, 24, l));
  EXPECT_EQ(l.stride, 112u);  // 111 bytes padded to 4
  EXPECT_EQ(l.imageSize, 112u * 21);
  EXPECT_EQ(l.pixelOffset, 54u);
  EXPECT_EQ(l.fileSize, 54u + 112 * 21);
  const auto h = BitmapFileHeaders(l);
  EXPECT_EQ(h[0], 'B');
  EXPECT_EQ(h[1], 'M');
  EXPECT_EQ(Read32(&h[2]), l.fileSize);
  EXPECT_EQ(Read32(&h[6]), 0u);
  EXPECT_EQ(Read32(&h[10]), 54u);
  EXPECT_EQ(Read32(&h[14]), 40u);
  EXPECT_EQ(Read32(&h[18]), 37u);
  EXPECT_EQ(Read32(&h[22]), 21u);
  EXPECT_EQ(h[26] | h[27] << 8, 1);
  EXPECT_EQ(h[28] | h[29] << 8, 24);
  for (int i = 30; i < 54; ++i) EXPECT_EQ(h[i], 0) << "byte " << i;
}

TEST(BitmapFileTest, PalettedFilesCarryTheirColourTable) {
  BitmapFileLayout l;
  ASSERT_TRUE(MakeBitmapFileLayout(3, 2, 8, l));
  EXPECT_EQ(l.stride, 4u);
  EXPECT_EQ(l.paletteBytes, 1024u);
  EXPECT_EQ(l.pixelOffset, 54u + 1024);
  EXPECT_EQ(l.fileSize, 54u + 1024 + 8);
  ASSERT_TRUE(MakeBitmapFileLayout(9, 1, 1, l));
  EXPECT_EQ(l.stride, 4u);
  EXPECT_EQ(l.paletteBytes, 8u);
}

TEST(BitmapFileTest, RefusesSizesNoFileCanHold) {
  BitmapFileLayout l;
  EXPECT_FALSE(MakeBitmapFileLayout(0, 10, 24, l));
  EXPECT_FALSE(MakeBitmapFileLayout(10, -1, 24, l));
  EXPECT_FALSE(MakeBitmapFileLayout(10, 10, 16, l));
  EXPECT_FALSE(MakeBitmapFileLayout(70000, 70000, 24, l));
  EXPECT_TRUE(MakeBitmapFileLayout(1, 1, 32, l));
}
