// Layout of the Windows bitmap files the library writes: bit depth from the
// display, row stride, and the file and info headers as bytes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace VELO::render {

// Bits per pixel of the file for a display of planes x bits-per-pixel d:
// 1, 4, 8, or 24 above 8.
int FileBitsForDisplay(int d) noexcept;

struct BitmapFileLayout {
  int width = 0;
  int height = 0;
  int bits = 0;
  uint32_t stride = 0;        // bytes per row, padded to 4
  uint32_t imageSize = 0;     // stride x height
  uint32_t paletteBytes = 0;  // colour table: 4 bytes for each of 2^bits entries up to 8 bits
  uint32_t pixelOffset = 0;
  uint32_t fileSize = 0;
};

// Returns false for sizes or depths that cannot make a file (non-positive
// width or height, a depth other than 1, 4, 8, 24 or 32, or 4 GiB and more).
bool MakeBitmapFileLayout(int width, int height, int bits, BitmapFileLayout& layout) noexcept;

// The 14-byte file header ("BM", file size, two zero words, pixel offset)
// followed by the 40-byte info header (bottom-up rows, one plane, no
// compression, every other field zero), little-endian.
std::array<uint8_t, 54> BitmapFileHeaders(const BitmapFileLayout& layout) noexcept;

}  // namespace VELO::render
