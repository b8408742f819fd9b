// Which enumerated HID interfaces a scan opens and keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "device/hid/hid_device_filter.h"

namespace ostrel::device {

// An entry stores its path NUL-terminated in this many bytes.
inline constexpr std::size_t kEntryPathCapacity = 1024;

// The first filter, in list order, whose ids both equal the interface's;
// null when none does.
const HidDeviceFilter* FindMatchingFilter(std::span<const HidDeviceFilter> filters, std::uint16_t vendor_id,
                                          std::uint16_t product_id) noexcept;

// Only the display's vendor-defined collection stays open.
bool IsDisplayCollection(std::uint16_t usage_page, std::uint16_t usage) noexcept;

// A path that would not fit an entry is refused rather than cut, since a cut
// path names another device or none.
bool PathFitsEntry(const char* path) noexcept;

}  // namespace ostrel::device
