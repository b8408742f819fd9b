#include "update/extended_timestamp.h"

namespace ostrel::update {

namespace {

constexpr std::uint16_t kTimestampId = 0x5455;

std::uint32_t ReadLe(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count) noexcept {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

}  // namespace

std::optional<ExtendedTimestamp> FindExtendedTimestamp(std::span<const std::uint8_t> extra) noexcept {
  std::size_t at = 0;
  while (at + 4 <= extra.size()) {
    const std::uint32_t id = ReadLe(extra, at, 2);
    const std::size_t size = ReadLe(extra, at + 2, 2);
    const std::size_t data = at + 4;
    if (data + size > extra.size()) return std::nullopt;
    if (id == kTimestampId && size >= 1) {
      const std::uint8_t flags = extra[data];
      ExtendedTimestamp times;
      std::size_t next = data + 1;
      std::optional<std::int64_t>* slots[] = {&times.modified, &times.accessed, &times.created};
      for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1u << bit))) continue;
        if (next + 4 > data + size) break;
        *slots[bit] = static_cast<std::int32_t>(ReadLe(extra, next, 4));
        next += 4;
      }
      return times;
    }
    at = data + size;
  }
  return std::nullopt;
}

}  // namespace ostrel::update
