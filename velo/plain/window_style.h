// The style every skinned top-level window of the library takes when it is
// created: the skin draws the whole window, so the system's caption and
// sizing border go, and painting is clipped to the window's own pixels.
#pragma once

#include <cstdint>

namespace VELO {

inline constexpr std::uint32_t kSystemFrameBits = 0x00C40000;  // WS_CAPTION | WS_THICKFRAME
// WS_CLIPSIBLINGS | WS_CLIPCHILDREN, and the dialog template's DS_FIXEDSYS bit.
inline constexpr std::uint32_t kSkinnedWindowBits = 0x06000008;

constexpr std::uint32_t SkinnedWindowStyle(std::uint32_t style) noexcept {
  return (style & ~kSystemFrameBits) | kSkinnedWindowBits;
}

}  // namespace VELO
