#include "velo/plain/gradient_bands.h"

namespace VELO::render {
namespace {

uint8_t Mix(uint32_t from, uint32_t to, int shift, int n, int t) noexcept {
  const int f = static_cast<int>((from >> shift) & 0xFF);
  const int o = static_cast<int>((to >> shift) & 0xFF);
  return static_cast<uint8_t>((o * (n - t) + f * t) / n);
}

}  // namespace

int GradientAlpha(uint32_t fromArgb, uint32_t toArgb) noexcept {
  return static_cast<int>(((fromArgb >> 24) + (toArgb >> 24)) / 2);
}

int GradientBandShift(int steps) noexcept {
  if (steps < 4) return 1;
  if (steps < 8) return 2;
  if (steps < 16) return 3;
  if (steps < 32) return 4;
  if (steps < 64) return 5;
  return 6;
}

std::vector<Band> GradientBands(int start, int size, uint32_t fromArgb, uint32_t toArgb, int steps) {
  std::vector<Band> bands;
  if (size <= 0) return bands;
  const int k = GradientBandShift(steps);
  const int n = 1 << k;
  const int edge = start + size;
  const int64_t extent = size;
  for (int t = 0; t < n; ++t) {
    Band band;
    band.begin = edge - static_cast<int>(((t + 1) * extent) >> k);
    band.end = edge - static_cast<int>((t * extent) >> k);
    if (band.end <= band.begin) continue;
    band.r = Mix(fromArgb, toArgb, 16, n, t);
    band.g = Mix(fromArgb, toArgb, 8, n, t);
    band.b = Mix(fromArgb, toArgb, 0, n, t);
    bands.push_back(band);
  }
  return bands;
}

}  // namespace VELO::render
