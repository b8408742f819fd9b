// The firmware-version exchange: a 64-byte request 07 FD 00..., answered by a
// 64-byte reply 07 hi lo ... read into a buffer that starts as the request.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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

}  // namespace ostrel::device
