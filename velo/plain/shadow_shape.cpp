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

// The shape in image coordinates, s empty rows above and below (or, for a
// negative size, |s| rows cut away at each end), shrunk until its soft edge
// of k pixels fits inside the reach s.
std::vector<RowSpan> CoreShape(const std::vector<RowSpan>& rows, int s, int k, int imageHeight) {
  std::vector<RowSpan> spans(static_cast<size_t>(imageHeight));
  for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
    const int row = y + s;
    if (row < 0 || row >= imageHeight || rows[static_cast<size_t>(y)].Empty()) continue;
    spans[static_cast<size_t>(row)] = {rows[static_cast<size_t>(y)].first + s,
                                       rows[static_cast<size_t>(y)].last + s};
  }
  for (int pass = 0; pass < k - s; ++pass) spans = Erode(spans);
  return spans;
}

// The pixels one outline point spreads around it: alpha d up to h from the
// centre, then falling linearly to nothing over the next k + 1 pixels.
struct SoftEdge {
  int r = 0;
  int side = 1;
  std::vector<uint32_t> pixels;  // side x side, premultiplied
};

SoftEdge MakeSoftEdge(int s, int k, int d, uint32_t color) {
  SoftEdge edge;
  edge.r = std::max(k, s);
  const int h = s > k ? s - k : 0;
  edge.side = 2 * edge.r + 1;
  edge.pixels.assign(static_cast<size_t>(edge.side) * edge.side, 0);
  for (int ky = 0; ky < edge.side; ++ky) {
    for (int kx = 0; kx < edge.side; ++kx) {
      const double t = std::hypot(kx - edge.r, ky - edge.r);
      int alpha = 0;
      if (t < h) {
        alpha = d;
      } else if (t <= edge.r) {
        alpha = static_cast<int>((1.0 - (t - h) / (k + 1)) * d);
      }
      if (alpha > 0) edge.pixels[static_cast<size_t>(ky) * edge.side + kx] = Premultiplied(color, alpha);
    }
  }
  return edge;
}

void Darken(ShadowImage& img, int x, int y, uint32_t value) {
  uint32_t& px = img.pixels[static_cast<size_t>(y) * img.width + x];
  px = std::max(px, value);
}

void Stamp(ShadowImage& img, const SoftEdge& edge, int cx, int cy) {
  for (int ky = 0; ky < edge.side; ++ky) {
    const int y = cy + ky - edge.r;
    if (y < 0 || y >= img.height) continue;
    for (int kx = 0; kx < edge.side; ++kx) {
      const int x = cx + kx - edge.r;
      if (x >= 0 && x < img.width) Darken(img, x, y, edge.pixels[static_cast<size_t>(ky) * edge.side + kx]);
    }
  }
}

// Stamps along the outline (the ends of each span, and wherever the row
// above or below does not reach) and fills the inside at full darkness.
void PaintShape(ShadowImage& img, const std::vector<RowSpan>& spans, const SoftEdge& edge, uint32_t core) {
  for (int y = 0; y < img.height; ++y) {
    const RowSpan& sp = spans[static_cast<size_t>(y)];
    if (sp.Empty()) continue;
    for (int x = sp.first; x <= sp.last; ++x) {
      const bool outline =
          x == sp.first || x == sp.last || !Covers(spans, y - 1, x) || !Covers(spans, y + 1, x);
      if (outline) {
        Stamp(img, edge, x, y);
      } else if (x >= 0 && x < img.width) {
        Darken(img, x, y, core);
      }
    }
  }
}

// Where the window itself lies nothing is drawn, so a translucent window
// never shows its own shadow through.
void CutOutWindow(ShadowImage& img, const std::vector<RowSpan>& rows, int s, const ShadowParams& p) {
  for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
    const RowSpan& sp = rows[static_cast<size_t>(y)];
    const int iy = y + s - p.offsetY;
    if (sp.Empty() || iy < 0 || iy >= img.height) continue;
    for (int x = sp.first; x <= sp.last; ++x) {
      const int ix = x + s - p.offsetX;
      if (ix >= 0 && ix < img.width) img.pixels[static_cast<size_t>(iy) * img.width + ix] = 0;
    }
  }
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
  PaintShape(img, CoreShape(rows, s, k, img.height), MakeSoftEdge(s, k, d, p.color),
             Premultiplied(p.color, d));
  CutOutWindow(img, rows, s, p);
  return img;
}

}  // namespace VELO::render
