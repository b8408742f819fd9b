// Whether a device interface path is the display's vendor-defined HID
// collection, asked of the HID class driver directly.
#pragma once

#include <string>

namespace ostrel::device {

// False for a path that cannot be opened or is not a HID interface.
bool IsDisplayHidInterface(const std::wstring& path) noexcept;

}  // namespace ostrel::device
