#include "velo/plain/bitmap_file.h"

namespace VELO::render {
namespace {

void Put16(uint8_t* at, uint32_t v) noexcept {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* at, uint32_t v) noexcept {
  Put16(at, v);
  Put16(at + 2, v >> 16);
}

}  // namespace

int FileBitsForDisplay(int d) noexcept {
  if (d <= 1) return 1;
  if (d <= 4) return 4;
  if (d <= 8) return 8;
  return 24;
}

bool MakeBitmapFileLayout(int width, int height, int bits, BitmapFileLayout& layout) noexcept {
  if (width <= 0 || height <= 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const uint64_t stride =
      (uint64_t{static_cast<uint32_t>(bits)} * static_cast<uint32_t>(width) + 31) / 32 * 4;
  const uint64_t image = stride * static_cast<uint32_t>(height);
  const uint64_t palette = bits <= 8 ? (uint64_t{4} << bits) : 0;
  const uint64_t total = 54 + palette + image;
  if (total > 0xFFFFFFFFu) return false;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  layout.stride = static_cast<uint32_t>(stride);
  layout.imageSize = static_cast<uint32_t>(image);
  layout.paletteBytes = static_cast<uint32_t>(palette);
  layout.pixelOffset = static_cast<uint32_t>(54 + palette);
  layout.fileSize = static_cast<uint32_t>(total);
  return true;
}

std::array<uint8_t, 54> BitmapFileHeaders(const BitmapFileLayout& layout) noexcept {
  std::array<uint8_t, 54> h{};
  h[0] = 'B';
  h[1] = 'M';
  Put32(&h[2], layout.fileSize);
  Put32(&h[10], layout.pixelOffset);
  Put32(&h[14], 40);
  Put32(&h[18], static_cast<uint32_t>(layout.width));
  Put32(&h[22], static_cast<uint32_t>(layout.height));
  Put16(&h[26], 1);
  Put16(&h[28], static_cast<uint32_t>(layout.bits));
  return h;
}

}  // namespace VELO::render
