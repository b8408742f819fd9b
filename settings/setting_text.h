// How a stored setting's text becomes a number: the C runtime's _wtoi rules
// (leading blanks, an optional sign, decimal digits, anything else ends the
// number), applied to a buffer of known size so that text without a
// terminating null is never read past its end.
#pragma once

#include <cstddef>

namespace ostrel::settings {

// Reads at most `capacity` characters. Values beyond the int range saturate
// at INT_MAX / INT_MIN as _wtoi does. Only ASCII blanks and digits count.
int ParseSettingText(const wchar_t* text, std::size_t capacity) noexcept;

}  // namespace ostrel::settings
