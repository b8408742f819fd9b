#include "velo/plain/paint_rules.h"

#include <algorithm>

namespace VELO::render {

bool IsReservedTimerId(unsigned id) noexcept {
  return id == kCaretTimerId || id == kMessageHoldTimerId || id == kMessageFadeTimerId ||
         id == kProgressTimerId;
}

FadeStep NextFadeAlpha(int alpha) noexcept {
  const int next = alpha - 10;
  if (next < 20) return {0, true};
  return {next, false};
}

ProgressStep NextProgress(int progress, int target) noexcept {
  const int next = progress + 2;
  if (next >= target) return {target, true};
  return {next, false};
}

int ProgressBarWidth(int progress, int width) noexcept {
  const int p = std::clamp(progress, 0, 100);
  const int inner = std::max(width - 20, 0);
  return static_cast<int>(static_cast<long long>(p) * inner / 100);
}

bool ProgressJumps(int progress, int target) noexcept { return target - progress < 6; }

unsigned ModifierCode(bool alt, bool shift, bool ctrl) noexcept {
  return (alt ? 18u : shift ? 16u : 0u) | (ctrl ? 17u : 0u);
}

int NextFocusIndex(const std::vector<bool>& focusable, int focus, bool forward) noexcept {
  const int n = static_cast<int>(focusable.size());
  if (focus >= n) return -1;
  const int step = forward ? 1 : -1;
  int i = focus < 0 ? (forward ? 0 : n - 1) : focus + step;
  // After the focus first, then from the other end back to it.
  for (int visited = 0; visited < n; ++visited, i += step) {
    if (i >= n) i = 0;
    if (i < 0) i = n - 1;
    if (focusable[static_cast<size_t>(i)]) return i;
  }
  return -1;
}

unsigned TextFormatFlags(bool multiLine) noexcept { return multiLine ? 0x4800u : 0x1800u; }

int HorizontalStringAlignment(unsigned code) noexcept { return code == 1 ? 1 : code == 2 ? 2 : 0; }

int VerticalStringAlignment(unsigned code) noexcept { return code == 4 ? 1 : code == 8 ? 2 : 0; }

Placement PicturePlacement(int w, int h, int fw, int fh, unsigned horizontal, unsigned vertical) noexcept {
  const int x = horizontal == 0 ? 0 : horizontal == 2 ? w - fw : (w - fw) / 2;
  const int y = vertical == 0 ? 0 : vertical == 8 ? h - fh : (h - fh) / 2;
  return {x, y};
}

std::vector<Tile> PictureTiles(int w, int h, int fw, int fh) {
  std::vector<Tile> tiles;
  if (w <= 0 || h <= 0 || fw <= 0 || fh <= 0) return tiles;
  for (int y = 0; y < h; y += fh) {
    for (int x = 0; x < w; x += fw) tiles.push_back({x, y, std::min(fw, w - x), std::min(fh, h - y)});
  }
  return tiles;
}

}  // namespace VELO::render
