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
