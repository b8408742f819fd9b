// When the program declares itself DPI-aware. Plain code, tested natively.
#pragma once

namespace ostrel::app {

// The panel and its skin are fixed-size pixel art. A primary screen below
// 1400 x 800 gets them in real pixels (declared DPI-aware); larger screens
// leave scaling to the system.
constexpr bool WantsDpiAwareness(int screen_width, int screen_height) noexcept {
  return screen_width < 1400 || screen_height < 800;
}

}  // namespace ostrel::app
