// What a sysfs attribute file holds, read as untrusted text: a kernel driver,
// a fake tree or a half-removed device may leave anything in it, so every
// parser here answers "nothing" rather than guessing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sensorlib {

// One decimal integer with optional sign and surrounding blanks or a final
// newline; nothing for empty text, other characters, or more digits than a
// 64-bit integer holds.
std::optional<std::int64_t> ParseSysfsInteger(std::string_view text) noexcept;

// A one-line name or label made fit for the record: the first line only,
// blanks trimmed, runs of blanks and control or non-ASCII bytes turned into
// one space, cut to max_length bytes.
std::string CleanSysfsText(std::string_view text, std::size_t max_length);

enum class HwmonQuantity { Temperature, Voltage, Fan, Frequency, Load };

// "temp3_input" → Temperature, 3. Names of other attributes give nothing.
struct HwmonInput {
  HwmonQuantity quantity = HwmonQuantity::Temperature;
  int index = 0;
};
std::optional<HwmonInput> ParseHwmonInputName(std::string_view file_name) noexcept;

// The prefix of an input's companion files: Temperature, 3 → "temp3".
std::string HwmonPrefix(const HwmonInput& input);

// A raw attribute value in the units the library reports (degrees Celsius,
// volts, RPM, MHz, per cent); nothing when it lies outside what any sensor of
// that quantity can report, so a driver's error codes and sentinels
// (-999999999999, 0x7FFFFFFF...) never become readings.
std::optional<double> ScaleHwmonValue(HwmonQuantity quantity, std::int64_t raw) noexcept;

}  // namespace sensorlib
