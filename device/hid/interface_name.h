// Recognising the display in a device-change notification's interface name.
#pragma once

#include <string_view>

namespace ostrel::device {

// True when the name, upper-cased, contains "VID_1A2C&PID_4F84". Only ASCII
// letters are folded: the tag is ASCII, and folding other letters (dotless i
// becomes I) would make names match that the system would not.
bool IsDisplayInterfaceName(std::wstring_view name) noexcept;

}  // namespace ostrel::device
