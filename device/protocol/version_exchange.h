// The firmware-version exchange: a 64-byte request 07 FD 00..., answered by a
// 64-byte reply 07 hi lo ... read into a buffer that starts as the request.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace ostrel::device {

// Built as 65 bytes like the temperature report; only the first 64 travel.
inline constexpr std::size_t kVersionRequestSize = 65;
inline constexpr std::size_t kVersionTransferSize = 64;
using VersionBuffer = std::array<std::uint8_t, kVersionRequestSize>;

VersionBuffer BuildVersionRequest() noexcept;

// True when the reply carries the report id in its first byte; otherwise the
// device is asked once more.
bool IsVersionReplyValid(const VersionBuffer& reply) noexcept;

// (byte 1 << 8) | byte 2, whatever byte 0 holds.
std::uint16_t DecodeVersion(const VersionBuffer& reply) noexcept;

// The version of a read that returned `read_result` bytes into `reply`:
// nothing when the read failed or came back short (the buffer then still
// holds the request, 07 FD 00, which would decode as 0xFD00) or when the
// reply does not carry the report id.
std::optional<std::uint16_t> VersionFromRead(int read_result, const VersionBuffer& reply) noexcept;

}  // namespace ostrel::device
