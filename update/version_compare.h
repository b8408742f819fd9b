// Comparing version texts the way the update checks do: dotted software
// versions part by part, firmware numbers as decimal numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ostrel::update {

// The number at the start of a text as the C runtime's _wtoi reads it:
// leading white space, an optional sign, then decimal digits up to the first
// other character; no digits give 0. Values beyond int saturate, as the
// runtime's do, instead of overflowing.
int LeadingNumber(std::wstring_view text) noexcept;

// 2 when the two texts have a different number of dot-separated parts (an
// empty text is one empty part); otherwise 1 when `latest` is greater at the
// first part that differs, -1 when `current` is, 0 when all are equal. Any
// value above 0 means an update is offered.
int CompareVersions(std::wstring_view current, std::wstring_view latest) noexcept;

// The display's 16-bit version written in lower-case hexadecimal and read
// back as a decimal number, so 0x102 counts as 102 and 0x1A as 1.
int DeviceFirmwareNumber(std::uint16_t version) noexcept;

// Newer only when the display answered and the server's number is greater.
bool FirmwareIsNewer(std::wstring_view server_text, std::optional<std::uint16_t> device_version) noexcept;

}  // namespace ostrel::update
