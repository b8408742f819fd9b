// Identity of the temperature display on the HID bus.
#pragma once

#include <cstdint>
#include <string_view>

namespace ostrel::device {

inline constexpr std::uint16_t kDisplayVendorId = 0x1A2C;
inline constexpr std::uint16_t kDisplayProductId = 0x4F84;
// The display's vendor-defined collection; its other interfaces carry none of
// our reports.
inline constexpr std::uint16_t kDisplayUsagePage = 0xFF01;
inline constexpr std::uint16_t kDisplayUsage = 1;
// Both exchanges use this feature report id.
inline constexpr std::uint8_t kReportId = 0x07;
// As it appears, upper-cased, in the display's device interface names.
inline constexpr std::wstring_view kDisplayInterfaceTag = L"VID_1A2C&PID_4F84";

}  // namespace ostrel::device
