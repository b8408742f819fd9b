// Decisions of the paint manager and the basic controls, without Win32
// types: window-timer ids, the message and progress overlay's animation
// steps, Tab focus order and the modifier code, text format flags and the
// placement and tiling of a picture.
#pragma once

#include <cstddef>
#include <vector>

namespace VELO::render {

// Window-timer ids the paint manager keeps for itself.
inline constexpr unsigned kCaretTimerId = 6553;
inline constexpr unsigned kMessageHoldTimerId = 66;
inline constexpr unsigned kMessageFadeTimerId = 88;
inline constexpr unsigned kProgressTimerId = 99;
bool IsReservedTimerId(unsigned id) noexcept;

// The next window-timer id for a control: (counter + 1) mod 240, the counter
// advanced, skipping the reserved ids (a control timer with one of them
// would be taken for the overlay's and killed by it) and ids `inUse`
// reports. Returns 0xFFFFFFFF when all 240 are in use.
template <typename InUse>
unsigned NextWindowTimerId(unsigned& counter, InUse inUse) {
  for (int tries = 0; tries < 240; ++tries) {
    counter = (counter + 1) % 240;
    if (!IsReservedTimerId(counter) && !inUse(counter)) return counter;
  }
  return 0xFFFFFFFFu;
}

// One fade tick: alpha - 10; below 20 the overlay is gone (0, and the
// fade ends).
struct FadeStep {
  int alpha;
  bool finished;
};
FadeStep NextFadeAlpha(int alpha) noexcept;

// Progress moves by 2 per tick towards the target, never past it.
struct ProgressStep {
  int progress;
  bool reached;
};
ProgressStep NextProgress(int progress, int target) noexcept;
// Width of the bar in a box `width` wide: progress x (width - 20) / 100.
int ProgressBarWidth(int progress, int width) noexcept;
// Small steps (target - progress below 6) jump at once instead of animating.
bool ProgressJumps(int progress, int target) noexcept;

// The Tab modifier code: (Alt ? 18 : Shift ? 16 : 0) | (Ctrl ? 17 : 0).
unsigned ModifierCode(bool alt, bool shift, bool ctrl) noexcept;

// Index of the next (or previous) focusable entry after `focus`, wrapping to
// the start (end); -1 when none qualifies or `focus` (>= 0) is not a valid
// index. focus < 0 means no focus: the search starts at the start (end).
int NextFocusIndex(const std::vector<bool>& focusable, int focus, bool forward) noexcept;

// GDI+ string-format flags: single line no-wrap + measure trailing spaces
// (0x1800); multi-line no-clip + measure trailing spaces (0x4800).
unsigned TextFormatFlags(bool multiLine) noexcept;
// Horizontal code 0/1/2 and vertical 0/4/8 to GDI+ alignment 0 near,
// 1 centre, 2 far; other values near.
int HorizontalStringAlignment(unsigned code) noexcept;
int VerticalStringAlignment(unsigned code) noexcept;

// A picture's frame placed at natural size (show mode 0): x = 0 for
// horizontal 0, w - fw for 2, centred otherwise; y = 0 for vertical 0,
// h - fh for 8, centred otherwise.
struct Placement {
  int x;
  int y;
};
Placement PicturePlacement(int w, int h, int fw, int fh, unsigned horizontal, unsigned vertical) noexcept;

// Tiles of fw x fh covering w x h from the origin (show mode 1), the last
// column and row clipped. Empty for a zero or negative size.
struct Tile {
  int x, y, width, height;
  bool operator==(const Tile&) const = default;
};
std::vector<Tile> PictureTiles(int w, int h, int fw, int fh);

}  // namespace VELO::render
