#include "tests/sensors/hwinfo_layout.h"

#include <cstring>

namespace hwinfo_layout {
namespace {

constexpr std::size_t kHeader = 44, kSensor = 264, kReading = 316;

void Put32(std::vector<std::byte>& bytes, std::size_t at, std::uint32_t v) { std::memcpy(&bytes[at], &v, 4); }
void PutText(std::vector<std::byte>& bytes, std::size_t at, const std::string& text) {
  std::memcpy(&bytes[at], text.data(), std::min<std::size_t>(text.size(), 127));
}

std::uint32_t Get32(const std::vector<std::byte>& bytes, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, &bytes[at], 4);
  return v;
}

}  // namespace

Block Desktop() {
  return {{"System: ASUS ROG STRIX X570-E GAMING", "CPU [#0]: AMD Ryzen 7 5800X",
           "CPU [#0]: AMD Ryzen 7 5800X: Enhanced", "GPU [#0]: NVIDIA GeForce RTX 3080",
           "ASUS ROG STRIX X570-E GAMING (Nuvoton NCT6798D)", "S.M.A.R.T.: Samsung SSD 980 PRO 1TB"},
          {{7, 0, "Physical Memory Load", 41},
           {6, 1, "Core 0 Clock (perf #1)", 4650},
           {7, 1, "Total CPU Usage", 12.5},
           {1, 2, "CPU (Tctl/Tdie)", 61.5},
           {1, 2, "CPU CCD1 (Tdie)", 55.25},
           {5, 2, "CPU Package Power", 88},
           {1, 3, "GPU Temperature", 48},
           {1, 3, "GPU Hot Spot Temperature", 60},
           {7, 3, "GPU Core Load", 97},
           {3, 3, "GPU Fan1", 1450},
           {1, 4, "Motherboard", 35},
           {1, 4, "CPU", 58},
           {2, 4, "Vcore", 1.35},
           {1, 5, "Drive Temperature", 40}}};
}

std::vector<std::byte> Write(const Block& block) {
  const std::size_t sensors_at = kHeader;
  const std::size_t readings_at = sensors_at + block.sensors.size() * kSensor;
  std::vector<std::byte> bytes(readings_at + block.readings.size() * kReading);
  Put32(bytes, 0, 0x53695748);  // "HWiS"
  Put32(bytes, 4, 2);
  Put32(bytes, 8, 1);
  Set(bytes, kSensorOffset, static_cast<std::uint32_t>(sensors_at));
  Set(bytes, kSensorSize, kSensor);
  Set(bytes, kSensorCount, static_cast<std::uint32_t>(block.sensors.size()));
  Set(bytes, kReadingOffset, static_cast<std::uint32_t>(readings_at));
  Set(bytes, kReadingSize, kReading);
  Set(bytes, kReadingCount, static_cast<std::uint32_t>(block.readings.size()));
  for (std::size_t i = 0; i < block.sensors.size(); ++i) {
    const std::size_t at = sensors_at + i * kSensor;
    Put32(bytes, at, 0xF000 + static_cast<std::uint32_t>(i));
    PutText(bytes, at + 8, block.sensors[i]);
    PutText(bytes, at + 136, "renamed by the user");
  }
  for (std::size_t i = 0; i < block.readings.size(); ++i) {
    const Reading& r = block.readings[i];
    const std::size_t at = readings_at + i * kReading;
    Put32(bytes, at, r.type);
    Put32(bytes, at + 4, r.sensor);
    Put32(bytes, at + 8, static_cast<std::uint32_t>(i));
    PutText(bytes, at + 12, r.label);
    PutText(bytes, at + 140, "renamed");
    PutText(bytes, at + 268, "x");
    for (int k = 0; k < 4; ++k) std::memcpy(&bytes[at + 284 + 8 * k], &r.value, 8);
  }
  return bytes;
}

void Set(std::vector<std::byte>& bytes, std::size_t field, std::uint32_t value) {
  Put32(bytes, field, value);
}

std::size_t ReadingLabelAt(const std::vector<std::byte>& bytes, std::size_t i) {
  return Get32(bytes, kReadingOffset) + i * Get32(bytes, kReadingSize) + 12;
}

}  // namespace hwinfo_layout
