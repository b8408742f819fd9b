#include "device/protocol/version_exchange.h"

#include "device/hid/display_ids.h"

namespace ostrel::device {

VersionBuffer BuildVersionRequest() noexcept {
  VersionBuffer request{};
  request[0] = kReportId;
  request[1] = 0xFD;  // command: report firmware version
  return request;
}

bool IsVersionReplyValid(const VersionBuffer& reply) noexcept { return reply[0] == kReportId; }

std::uint16_t DecodeVersion(const VersionBuffer& reply) noexcept {
  return static_cast<std::uint16_t>((reply[1] << 8) | reply[2]);
}

std::optional<std::uint16_t> VersionFromRead(int read_result, const VersionBuffer& reply) noexcept {
  if (read_result < 3 || !IsVersionReplyValid(reply)) return std::nullopt;
  return DecodeVersion(reply);
}

}  // namespace ostrel::device
