// The temperature report: 07 FF FF h t u followed by zeros, 65 bytes as
// built; the registry sends its first 64 plus one zero byte, so callers hand
// it over whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ostrel::device {

// The part of a report a display reads; the feature report is one byte longer.
inline constexpr std::size_t kReportLength = 64;
inline constexpr std::size_t kTemperatureReportSize = kReportLength + 1;
using TemperatureReport = std::array<std::uint8_t, kTemperatureReportSize>;

struct Digits {
  std::uint8_t hundreds;
  std::uint8_t tens;
  std::uint8_t units;
};

// Decimal digits of a shown value. Values outside 0..99 are first brought
// into that range, so every digit is 0..9 whatever the caller passes.
Digits SplitDigits(int value) noexcept;

TemperatureReport BuildTemperatureReport(int value) noexcept;

}  // namespace ostrel::device
