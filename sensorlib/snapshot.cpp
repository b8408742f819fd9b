#include "sensorlib/snapshot.h"

#include <algorithm>
#include <cstring>

namespace sensorlib {
namespace {

constexpr std::size_t kPresentOffset = 0;
constexpr std::size_t kValueOffset = 8;
constexpr std::size_t kKindOffset = 48;
constexpr std::size_t kLabelOffset = 328;
constexpr std::size_t kLabelSize = 136;

}  // namespace

Snapshot::Snapshot(std::vector<SnapshotItem> items) {
  items_.reserve(items.size());
  for (auto& source : items) {
    Item item{source.kind, std::move(source.name),  std::move(source.readings), {},
              {},          std::move(source.source)};
    for (int i = 0; i < static_cast<int>(item.readings.size()); ++i) {
      const auto& r = item.readings[i];
      if (r.sensor_class < 0 || r.sensor_class >= kClassLimit || r.slot < 0) continue;
      auto& slots = item.by_slot[r.sensor_class];
      const auto slot = static_cast<std::size_t>(r.slot);
      if (slots.size() <= slot) slots.resize(slot + 1, -1);
      slots[slot] = i;
      if (item.slot_used.size() <= slot) item.slot_used.resize(slot + 1, false);
      item.slot_used[slot] = true;
    }
    items_.push_back(std::move(item));
  }
}

void Snapshot::CopyText(std::string_view text, std::span<char> buffer) noexcept {
  if (buffer.empty()) return;
  const std::size_t n = std::min(text.size(), buffer.size() - 1);
  // An empty text may have no storage at all, and memcpy needs a real pointer
  // even for zero bytes.
  if (n > 0) std::memcpy(buffer.data(), text.data(), n);
  buffer[n] = '\0';
}

void Snapshot::CopyName(int hardware, std::span<char> buffer) const noexcept {
  CopyText(hardware >= 0 && hardware < Count() ? std::string_view(items_[hardware].name) : "", buffer);
}

void Snapshot::CopySource(int hardware, std::span<char> buffer) const noexcept {
  CopyText(hardware >= 0 && hardware < Count() ? std::string_view(items_[hardware].source) : "", buffer);
}

Answer Snapshot::Read(int sensor_class, int hardware, int slot,
                      std::span<std::byte, kRecordSize> record) const noexcept {
  if (hardware < 0 || hardware >= Count() || sensor_class < 0 || sensor_class >= kClassLimit || slot < 0) {
    return Answer::Unknown;
  }
  const Item& item = items_[hardware];
  const auto s = static_cast<std::size_t>(slot);
  if (s >= item.slot_used.size() || !item.slot_used[s]) {
    std::fill(record.begin(), record.end(), std::byte{0});
    return Answer::EmptySlot;
  }
  const auto& slots = item.by_slot[sensor_class];
  if (s >= slots.size() || slots[s] < 0) return Answer::Unknown;
  WriteRecord(record, item.kind, item.readings[slots[s]]);
  return Answer::Filled;
}

void WriteRecord(std::span<std::byte, kRecordSize> record, int kind,
                 const SnapshotReading& reading) noexcept {
  std::fill(record.begin(), record.end(), std::byte{0});
  const std::int32_t present = 1;
  const std::int32_t kind32 = kind;
  std::memcpy(record.data() + kPresentOffset, &present, sizeof present);
  std::memcpy(record.data() + kValueOffset, &reading.value, sizeof reading.value);
  std::memcpy(record.data() + kKindOffset, &kind32, sizeof kind32);
  std::memcpy(record.data() + kLabelOffset, reading.label.data(),
              std::min(reading.label.size(), kLabelSize - 1));
}

}  // namespace sensorlib
