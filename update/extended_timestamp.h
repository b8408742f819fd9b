// The "UT" extra field (id 0x5455) of an archive entry: a flags byte, then
// for each set flag in the order modification (bit 0), access (bit 1),
// creation (bit 2) a 32-bit little-endian Unix time. The central directory
// often carries only the modification time while flagging all three; what
// the field does not hold stays unset.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace ostrel::update {

struct ExtendedTimestamp {
  std::optional<std::int64_t> modified;
  std::optional<std::int64_t> accessed;
  std::optional<std::int64_t> created;
};

// Nothing when the extra data holds no well-formed "UT" field.
std::optional<ExtendedTimestamp> FindExtendedTimestamp(std::span<const std::uint8_t> extra) noexcept;

}  // namespace ostrel::update
