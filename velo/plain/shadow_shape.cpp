#include "velo/plain/shadow_shape.h"

#include <algorithm>
#include <cmath>

namespace VELO::render {
namespace {

uint32_t Premultiplied(uint32_t color, int alpha) {
  const auto scale = [alpha](uint32_t c) { return (c * static_cast<uint32_t>(alpha)) / 255; };
  return (static_cast<uint32_t>(alpha) << 24) | (scale((color >> 16) & 0xFF) << 16) |
         (scale((color >> 8) & 0xFF) << 8) | scale(color & 0xFF);
}

// One erosion pass: each span becomes the intersection of itself and its two
// neighbours, one pixel shorter at each end.
std::vector<RowSpan> Erode(const std::vector<RowSpan>& in) {
  std::vector<RowSpan> out(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    if (i == 0 || i + 1 == in.size() || in[i].Empty() || in[i - 1].Empty() || in[i + 1].Empty()) continue;
    RowSpan s;
    s.first = std::max({in[i - 1].first, in[i].first, in[i + 1].first}) + 1;
    s.last = std::min({in[i - 1].last, in[i].last, in[i + 1].last}) - 1;
    if (!s.Empty()) out[i] = s;
  }
  return out;
}

bool Covers(const std::vector<RowSpan>& spans, int row, int x) {
  if (row < 0 || row >= static_cast<int>(spans.size())) return false;
  const RowSpan& s = spans[static_cast<size_t>(row)];
  return !s.Empty() && x >= s.first && x <= s.last;
}

}  // namespace

ShadowImage MakeShadowImage(const std::vector<RowSpan>& rows, int width, const ShadowParams& p) {
  ShadowImage img;
  const int s = p.size;
  const int k = std::clamp(p.sharpness, 0, kShadowLimit);
  const int d = std::clamp(p.darkness, 0, 255);
  const int height = static_cast<int>(rows.size());
  if (width + 2 * s <= 0 || height + 2 * s <= 0) return img;
  img.width = width + 2 * s;
  img.height = height + 2 * s;
  img.pixels.assign(static_cast<size_t>(img.width) * img.height, 0);

  // The shape in image coordinates, s empty rows above and below (or, for a
  // negative size, |s| rows cut away at each end).
  std::vector<RowSpan> spans(static_cast<size_t>(img.height));
  for (int y = 0; y < height; ++y) {
    const int row = y + s;
    if (row < 0 || row >= img.height || rows[static_cast<size_t>(y)].Empty()) continue;
    spans[static_cast<size_t>(row)] = {rows[static_cast<size_t>(y)].first + s,
                                       rows[static_cast<size_t>(y)].last + s};
  }
  for (int pass = 0; pass < k - s; ++pass) spans = Erode(spans);

  // The soft edge: alpha d up to h from the centre, then falling linearly to
  // nothing over the next k + 1 pixels.
  const int r = std::max(k, s);
  const int h = s > k ? s - k : 0;
  const int side = 2 * r + 1;
  std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0);
  for (int ky = 0; ky < side; ++ky) {
    for (int kx = 0; kx < side; ++kx) {
      const double t = std::hypot(kx - r, ky - r);
      int alpha = 0;
      if (t < h) {
        alpha = d;
      } else if (t <= r) {
        alpha = static_cast<int>((1.0 - (t - h) / (k + 1)) * d);
      }
      if (alpha > 0) kernel[static_cast<size_t>(ky) * side + kx] = Premultiplied(p.color, alpha);
    }
  }
  const auto stamp = [&](int cx, int cy) {
    for (int ky = 0; ky < side; ++ky) {
      const int y = cy + ky - r;
      if (y < 0 || y >= img.height) continue;
      for (int kx = 0; kx < side; ++kx) {
        const int x = cx + kx - r;
        if (x < 0 || x >= img.width) continue;
        uint32_t& px = img.pixels[static_cast<size_t>(y) * img.width + x];
        px = std::max(px, kernel[static_cast<size_t>(ky) * side + kx]);
      }
    }
  };

  // Stamp along the outline (the ends of each span, and wherever the row
  // above or below does not reach), fill the inside at full darkness.
  const uint32_t core = Premultiplied(p.color, d);
  for (int y = 0; y < img.height; ++y) {
    const RowSpan& sp = spans[static_cast<size_t>(y)];
    if (sp.Empty()) continue;
    for (int x = sp.first; x <= sp.last; ++x) {
      const bool outline =
          x == sp.first || x == sp.last || !Covers(spans, y - 1, x) || !Covers(spans, y + 1, x);
      if (outline) {
        stamp(x, y);
      } else if (x >= 0 && x < img.width) {
        uint32_t& px = img.pixels[static_cast<size_t>(y) * img.width + x];
        px = std::max(px, core);
      }
    }
  }

  // Where the window itself lies nothing is drawn, so a translucent window
  // never shows its own shadow through.
  for (int y = 0; y < height; ++y) {
    const RowSpan& sp = rows[static_cast<size_t>(y)];
    const int iy = y + s - p.offsetY;
    if (sp.Empty() || iy < 0 || iy >= img.height) continue;
    for (int x = sp.first; x <= sp.last; ++x) {
      const int ix = x + s - p.offsetX;
      if (ix >= 0 && ix < img.width) img.pixels[static_cast<size_t>(iy) * img.width + ix] = 0;
    }
  }
  return img;
}

}  // namespace VELO::render
