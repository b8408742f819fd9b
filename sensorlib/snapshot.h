// The readings the library answers queries from between two updates, laid
// out for constant-time lookup by hardware, class and slot: a pass asks up
// to 512 slots times five classes of every item.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sensorlib/sensor_source.h"

namespace sensorlib {

inline constexpr int kClassLimit = 8;  // classes 1 to 7
inline constexpr std::size_t kRecordSize = 464;

enum class Answer {
  Unknown,    // no such item or class, or nothing of this class here: 0, record untouched
  EmptySlot,  // no reading of any class at this slot: record zeroed, present 0
  Filled,     // record zeroed and filled
};

class Snapshot {
 public:
  Snapshot() = default;
  explicit Snapshot(std::vector<SnapshotItem> items);

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // NUL-terminated within size, cut short when the name is longer.
  void CopyName(int hardware, std::span<char> buffer) const noexcept;
  // The item's source, likewise.
  void CopySource(int hardware, std::span<char> buffer) const noexcept;
  Answer Read(int sensor_class, int hardware, int slot,
              std::span<std::byte, kRecordSize> record) const noexcept;

 private:
  struct Item {
    int kind = 0;
    std::string name;
    std::vector<SnapshotReading> readings;
    // Per class, an index into readings by slot (-1: none).
    std::array<std::vector<int>, kClassLimit> by_slot;
    std::vector<bool> slot_used;
    std::string source;
  };
  static void CopyText(std::string_view text, std::span<char> buffer) noexcept;
  std::vector<Item> items_;
};

// The record as the program reads it: present, value, kind and label at
// their offsets, every other byte zero.
void WriteRecord(std::span<std::byte, kRecordSize> record, int kind, const SnapshotReading& reading) noexcept;

}  // namespace sensorlib
