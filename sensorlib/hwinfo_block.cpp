#include "sensorlib/hwinfo_block.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string_view>

#include "sensorlib/kinds.h"
#include "sensorlib/script.h"
#include "sensorlib/sysfs_text.h"

namespace sensorlib {
namespace {

// More than any machine has; a count beyond these is not a real block.
constexpr std::uint64_t kMaxSensors = 4096;
constexpr std::uint64_t kMaxReadings = 65536;

std::uint32_t U32(std::span<const std::byte> bytes, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, bytes.data() + at, sizeof v);
  return v;
}

// The characters before the first NUL, never beyond the field.
std::string Text(std::span<const std::byte> bytes, std::size_t at, std::size_t max_length) {
  const char* p = reinterpret_cast<const char*>(bytes.data() + at);
  const std::size_t n = strnlen(p, kHwinfoStringSize);
  return CleanSysfsText(std::string_view(p, n), max_length);
}

struct Section {
  std::uint64_t offset, size, count;
};

// Whether count elements of size bytes from offset lie within total, in
// 64-bit arithmetic that cannot wrap (each factor is below 2^32).
bool Fits(const Section& s, std::size_t total, std::size_t min_size, std::uint64_t max_count) {
  return s.size >= min_size && s.count <= max_count && s.offset <= total &&
         s.size * s.count <= total - s.offset;
}

int ClassOf(HwinfoType type) {
  switch (type) {
    case HwinfoType::Temperature:
      return kClassTemperature;
    case HwinfoType::Voltage:
      return kClassVoltage;
    case HwinfoType::Fan:
      return kClassFan;
    case HwinfoType::Clock:
      return kClassClock;
    case HwinfoType::Usage:
      return kClassLoad;
    default:
      return 0;  // current, power and the rest have no class in the record
  }
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// "CPU [#0]: AMD Ryzen 7 5800X: Enhanced" → processor, "AMD Ryzen 7 5800X: Enhanced".
int KindOf(std::string_view name, std::string& shown) {
  shown = std::string(name);
  const auto after_index = [&](std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) return false;
    const std::size_t colon = name.find("]: ");
    if (colon != std::string_view::npos) shown = std::string(name.substr(colon + 3));
    return true;
  };
  if (after_index("CPU [")) return kKindProcessor;
  if (after_index("GPU [")) return kKindGraphics;
  for (std::string_view chip : {"Nuvoton", "ITE IT", "Fintek", "Winbond", "SMSC", "Embedded Controller"}) {
    if (Contains(name, chip)) return kKindMainboard;
  }
  if (name.substr(0, 10) == "S.M.A.R.T." || name.substr(0, 6) == "Drive:") return kKindDrive;
  if (Contains(name, "Memory") || Contains(name, "DIMM")) return kKindMemory;
  return kKindOther;
}

}  // namespace

HwinfoParse ParseHwinfoBlock(std::span<const std::byte> bytes) {
  if (bytes.size() < kHwinfoHeaderSize) return {std::nullopt, "the block is shorter than its header"};
  const std::uint32_t signature = U32(bytes, 0);
  if (signature != kHwinfoSignature) return {std::nullopt, "HWiNFO is not running its sensors (signature)"};
  const Section sensors{U32(bytes, 20), U32(bytes, 24), U32(bytes, 28)};
  const Section readings{U32(bytes, 32), U32(bytes, 36), U32(bytes, 40)};
  if (!Fits(sensors, bytes.size(), kHwinfoSensorSize, kMaxSensors)) {
    return {std::nullopt, "the sensor section lies outside the block"};
  }
  if (!Fits(readings, bytes.size(), kHwinfoReadingSize, kMaxReadings)) {
    return {std::nullopt, "the reading section lies outside the block"};
  }
  HwinfoBlock block;
  block.sensors.reserve(sensors.count);
  for (std::uint64_t i = 0; i < sensors.count; ++i) {
    // dwSensorID, dwSensorInst, then HWiNFO's own name.
    block.sensors.push_back(Text(bytes, sensors.offset + i * sensors.size + 8, kMaxNameLength));
  }
  for (std::uint64_t i = 0; i < readings.count; ++i) {
    const std::size_t at = readings.offset + i * readings.size;
    HwinfoReading r;
    r.type = static_cast<HwinfoType>(U32(bytes, at));
    r.sensor = U32(bytes, at + 4);
    r.label = Text(bytes, at + 12, kMaxLabelLength);
    std::memcpy(&r.value, bytes.data() + at + 12 + 2 * kHwinfoStringSize + 16, sizeof r.value);
    if (r.sensor >= block.sensors.size() || !std::isfinite(r.value) || r.label.empty()) continue;
    block.readings.push_back(std::move(r));
  }
  return {std::move(block), {}};
}

std::vector<SnapshotItem> HwinfoItems(const HwinfoBlock& block) {
  std::vector<SnapshotItem> items(block.sensors.size());
  std::vector<std::array<int, kClassLoad + 1>> next_slot(block.sensors.size());
  for (std::size_t i = 0; i < block.sensors.size(); ++i) {
    items[i].kind = KindOf(block.sensors[i], items[i].name);
    items[i].name = CleanSysfsText(items[i].name, kMaxNameLength);
    next_slot[i].fill(0);
  }
  for (const HwinfoReading& r : block.readings) {
    const int sensor_class = ClassOf(r.type);
    if (sensor_class == 0) continue;
    int& slot = next_slot[r.sensor][sensor_class];
    if (slot > kMaxSlot) continue;
    // HWiNFO's name for a card's load, in the words the program looks for.
    const bool card_load = items[r.sensor].kind == kKindGraphics && r.label == "GPU Core Load";
    items[r.sensor].readings.push_back(
        {sensor_class, slot++, r.value, card_load ? "GPU Utilization" : r.label});
  }
  std::erase_if(items, [](const SnapshotItem& item) { return item.readings.empty(); });
  return items;
}

}  // namespace sensorlib
