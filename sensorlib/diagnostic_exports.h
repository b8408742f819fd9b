// The library's exports beyond the eight the program binds: diagnostics for
// ostrelctl, by ordinal like the others. A library without them (an older or
// an outside one) simply has no answer.
#pragma once

#include <cstdint>

namespace sensorlib {

inline constexpr int kOrdinalHardwareSource = 700;
inline constexpr int kOrdinalDescribeSources = 701;

// Fills the name of the source that gave the item, NUL-terminated.
using HardwareSourceFn = void (*)(std::int32_t hardware, char* buffer, std::int32_t size);
// "<name>\t<found|absent>\t<why>\n" per source; returns the size the whole
// text needs with its NUL, and writes what fits.
using DescribeSourcesFn = std::int32_t (*)(char* buffer, std::int32_t size);

}  // namespace sensorlib
