// The 464-byte reading record the library fills, and the 256-byte hardware
// name buffer: decoded without trusting the library to terminate strings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "sensors/sensor_api.h"

namespace ostrel::sensors {

inline constexpr std::size_t kRecordSize = 464;
inline constexpr std::size_t kRecordPresentOffset = 0;
inline constexpr std::size_t kRecordValueOffset = 8;
inline constexpr std::size_t kRecordKindOffset = 48;
inline constexpr std::size_t kRecordLabelOffset = 328;
inline constexpr std::size_t kRecordLabelSize = 136;

struct alignas(8) ReadingRecord {
  std::array<std::byte, kRecordSize> bytes{};
  void Clear() noexcept { bytes.fill(std::byte{0}); }
};

struct HardwareName {
  std::array<char, kHardwareNameSize> chars{};
  void Clear() noexcept { chars.fill('\0'); }
  // Up to the first NUL, or the whole buffer when the library filled it.
  std::string_view View() const noexcept;
};

struct Reading {
  std::int32_t present = 0;
  double value = 0;
  std::int32_t kind = 0;
  std::string_view label;  // points into the record it was decoded from
};

Reading DecodeReading(const ReadingRecord& record) noexcept;

// The characters before the first NUL, never beyond the buffer.
std::string_view BoundedString(std::span<const char> buffer) noexcept;

}  // namespace ostrel::sensors
