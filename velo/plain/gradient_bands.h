// The two-colour gradient: its overall alpha and, where the system offers no
// gradient fill, the solid bands that stand in for it.
#pragma once

#include <cstdint>
#include <vector>

namespace VELO::render {

// Average of the two ARGB alphas (integer); 0 means nothing is drawn.
int GradientAlpha(uint32_t fromArgb, uint32_t toArgb) noexcept;

// k of the 2^k bands for the requested number of steps: 1 below 4, 2 below
// 8, 3 below 16, 4 below 32, 5 below 64, else 6.
int GradientBandShift(int steps) noexcept;

struct Band {
  int begin = 0;  // first coordinate along the gradient axis
  int end = 0;    // one past the last
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
};

// Bands over [start, start + size) of the axis, counted from the far edge
// (which has the `to` colour) back towards the near one. Empty bands are left
// out. Colours are ARGB; the alpha bytes are not used here.
std::vector<Band> GradientBands(int start, int size, uint32_t fromArgb, uint32_t toArgb, int steps);

}  // namespace VELO::render
