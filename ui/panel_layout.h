// Where the program's windows and their controls sit. Plain rectangle
// arithmetic, tested natively.
#pragma once

namespace ostrel::ui {

struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr bool operator==(const Box&) const = default;
  constexpr int Width() const noexcept { return right - left; }
  constexpr int Height() const noexcept { return bottom - top; }
  constexpr bool Contains(int x, int y) const noexcept {
    return x >= left && x < right && y >= top && y < bottom;
  }
};

inline constexpr int kPanelWidth = 340;
inline constexpr int kPanelHeight = 250;
inline constexpr int kPanelMargin = 3;

// The panel in the work area's bottom-right corner, 3 px from both edges.
constexpr Box PanelBox(const Box& work_area) noexcept {
  const int right = work_area.right - kPanelMargin;
  const int bottom = work_area.bottom - kPanelMargin;
  return {right - kPanelWidth, bottom - kPanelHeight, right, bottom};
}

// The close button in panel client coordinates; only a laid-out panel (wider
// than 10 px) has one.
constexpr Box CloseButtonBox(const Box& client) noexcept {
  return client.Width() > 10 ? Box{295, 25, 313, 42} : Box{};
}

// The temperature scale of each look, as the skin draws it: a bar from
// (30, 194) to (310, 200) for 0 to 100 degrees, and a gauge arc of radius 72
// around (175, 130) that starts at the bottom left (135 degrees, clockwise
// from the x axis, y down) and sweeps 270 degrees.
inline constexpr int kScaleBarLeft = 30;
inline constexpr int kScaleBarRight = 310;
inline constexpr int kScaleBarTop = 194;
inline constexpr int kScaleMarkHalfWidth = 3;
inline constexpr int kGaugeCentreX = 175;
inline constexpr int kGaugeCentreY = 130;
inline constexpr int kGaugeRadius = 72;
inline constexpr float kGaugeStartDegrees = 135.0f;
inline constexpr float kGaugeSweepDegrees = 270.0f;

// Centre of the bar's marker for a shown value (0 to 99): where the value
// lies on the scale, held far enough inside that the whole marker stays on
// the bar at both ends.
constexpr int ScaleMarkX(int value) noexcept {
  const int x = kScaleBarLeft + (kScaleBarRight - kScaleBarLeft) * value / 100;
  const int lowest = kScaleBarLeft + kScaleMarkHalfWidth;
  const int highest = kScaleBarRight - kScaleMarkHalfWidth - 1;
  return x < lowest ? lowest : (x > highest ? highest : x);
}

// How far round the gauge's arc a shown value fills, in degrees; a sliver
// at 0, so the filled end is seen.
constexpr float GaugeSweep(int value) noexcept {
  const float sweep = kGaugeSweepDegrees * static_cast<float>(value) / 100.0f;
  return sweep < 1.0f ? 1.0f : (sweep > kGaugeSweepDegrees ? kGaugeSweepDegrees : sweep);
}

inline constexpr int kMessageBoxWidth = 380;
inline constexpr int kMessageBoxHeight = 200;

struct MessageBoxLayout {
  Box title;
  Box message;
  Box ok;   // style 0
  Box yes;  // style 4
  Box no;   // style 4
};

constexpr MessageBoxLayout LayOutMessageBox(const Box& client) noexcept {
  const int middle = (client.bottom - client.top) / 2;
  const int half = (client.right - client.left) / 2;
  const int buttons_top = client.bottom - 40;
  const int buttons_bottom = client.bottom - 10;
  return {
      {20, 15, client.right - 20, 40},
      {20, middle - 30, client.right - 20, middle + 30},
      {60, buttons_top, client.right - 60, buttons_bottom},
      {half - 120, buttons_top, half - 20, buttons_bottom},
      {half + 20, buttons_top, half + 120, buttons_bottom},
  };
}

}  // namespace ostrel::ui
