// How often a scan tries to open a display interface that refuses at first.
// On Linux the hidraw node of a display just plugged in exists before udev
// has given it its group and mode, so the first open can fail for a moment;
// on Windows the interface is only announced once it can be opened.
#pragma once

#include <cstdint>
#include <span>

namespace ostrel::device {

// Pauses before the second, third... attempt; empty: one attempt only.
using OpenRetryPauses = std::span<const std::uint32_t>;

// This system's pauses (open_retry_win.cpp, open_retry_linux.cpp).
OpenRetryPauses DisplayOpenRetryPauses() noexcept;

}  // namespace ostrel::device
