// HWiNFO blocks laid out as HWiNFO writes them (packed header, 264-byte
// sensor and 316-byte reading elements), for the parser's tests and for the
// producer the Windows tests play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hwinfo_layout {

struct Reading {
  std::uint32_t type;  // 1 temperature, 2 voltage, 3 fan, 5 power, 6 clock, 7 usage
  std::uint32_t sensor;
  std::string label;
  double value;
};

struct Block {
  std::vector<std::string> sensors;
  std::vector<Reading> readings;
};

// A desktop as HWiNFO shows it: Ryzen with its "Enhanced" sensor (Tctl/Tdie
// 61.5), a GeForce (48 and a hot spot of 60), a Nuvoton board chip
// (Motherboard 35, CPU 58) and a drive.
Block Desktop();

std::vector<std::byte> Write(const Block& block);

// Header fields by offset, for hostile layouts.
inline constexpr std::size_t kSensorOffset = 20, kSensorSize = 24, kSensorCount = 28;
inline constexpr std::size_t kReadingOffset = 32, kReadingSize = 36, kReadingCount = 40;
void Set(std::vector<std::byte>& bytes, std::size_t field, std::uint32_t value);
// Where reading i's label starts.
std::size_t ReadingLabelAt(const std::vector<std::byte>& bytes, std::size_t i);

}  // namespace hwinfo_layout
