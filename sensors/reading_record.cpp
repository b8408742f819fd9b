#include "sensors/reading_record.h"

#include <algorithm>
#include <cstring>

namespace ostrel::sensors {

std::string_view BoundedString(std::span<const char> buffer) noexcept {
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return {buffer.data(), static_cast<std::size_t>(end - buffer.begin())};
}

std::string_view HardwareName::View() const noexcept { return BoundedString(chars); }

Reading DecodeReading(const ReadingRecord& record) noexcept {
  Reading r;
  const std::byte* bytes = record.bytes.data();
  std::memcpy(&r.present, bytes + kRecordPresentOffset, sizeof r.present);
  std::memcpy(&r.value, bytes + kRecordValueOffset, sizeof r.value);
  std::memcpy(&r.kind, bytes + kRecordKindOffset, sizeof r.kind);
  r.label = BoundedString({reinterpret_cast<const char*>(bytes + kRecordLabelOffset), kRecordLabelSize});
  return r;
}

}  // namespace ostrel::sensors
