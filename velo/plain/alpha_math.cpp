#include "velo/plain/alpha_math.h"

#include <algorithm>
#include <cmath>

namespace VELO::render {
namespace {

struct Ramp {
  int hi;
  int lo;
  double step;
};

Ramp MakeRamp(int from, int to, int extent) noexcept {
  const double hi = 255.0 - std::min(from, to) * 255.0 / 100.0;
  const double lo = (100.0 - std::max(from, to)) * 255.0 / 100.0;
  Ramp r{static_cast<int>(hi), static_cast<int>(lo), 0.0};
  if (extent > 0) r.step = static_cast<double>(r.hi - r.lo) / extent;
  return r;
}

uint8_t Channel(uint32_t pixel, int shift) noexcept { return static_cast<uint8_t>(pixel >> shift); }

}  // namespace

int TransitionAlpha(int from, int to, int extent, int i) noexcept {
  const Ramp r = MakeRamp(from, to, extent);
  const double value = from < to ? r.hi - i * r.step : i * r.step + r.lo;
  return static_cast<int>(value) & 0xFF;
}

int TransitionLastAlpha(int from, int to, int extent) noexcept {
  return extent > 0 ? TransitionAlpha(from, to, extent, extent - 1) : 255;
}

int CornerFadeAlpha(int size, int i, int j) noexcept {
  if (size <= 0) return 255;
  const double distance = std::min(static_cast<double>(size), std::sqrt(double(i) * i + double(j) * j));
  return static_cast<int>(255.0 - 255.0 / size * distance);
}

uint32_t NonZeroColorKey(uint32_t color) noexcept { return (color & 0x00FFFFFFu) == 0 ? color + 1 : color; }

uint32_t BlendPixel(uint32_t dst, uint32_t src, uint8_t constantAlpha, bool perPixelAlpha) noexcept {
  const unsigned srcAlpha = perPixelAlpha ? Channel(src, 24) : 255u;
  // The share of the destination that the source covers, in 0..255*255.
  const unsigned coverage = srcAlpha * constantAlpha;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const unsigned s = Channel(src, shift);
    const unsigned d = Channel(dst, shift);
    const unsigned value =
        (s * constantAlpha * 255 + d * (255 * 255 - coverage) + 255 * 255 / 2) / (255 * 255);
    out |= std::min(value, 255u) << shift;
  }
  return out;
}

}  // namespace VELO::render
