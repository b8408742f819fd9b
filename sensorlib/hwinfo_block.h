// HWiNFO's published shared-memory block ("Global\HWiNFO_SENS_SM2"): a
// header, a section of sensors (hardware) and a section of readings, each
// section placed by an offset, an element size and a count in the header.
// Another program writes the block, so every offset, size and count is
// checked against the bytes actually mapped before anything is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sensorlib/sensor_source.h"

namespace sensorlib {

inline constexpr std::uint32_t kHwinfoSignature = 0x53695748;  // "HWiS"; "DEAD" once HWiNFO ends
inline constexpr std::size_t kHwinfoHeaderSize = 44;
// The smallest elements that hold every field read: a sensor's id, instance
// and name; a reading's type, sensor index, id, labels, unit and value.
inline constexpr std::size_t kHwinfoSensorSize = 136;
inline constexpr std::size_t kHwinfoReadingSize = 292;
inline constexpr std::size_t kHwinfoStringSize = 128;

// HWiNFO's reading types.
enum class HwinfoType : std::uint32_t {
  None,
  Temperature,
  Voltage,
  Fan,
  Current,
  Power,
  Clock,
  Usage,
  Other
};

struct HwinfoReading {
  HwinfoType type = HwinfoType::None;
  std::uint32_t sensor = 0;  // index into the sensors
  std::string label;         // HWiNFO's own label (the user's may be anything)
  double value = 0;
};

struct HwinfoBlock {
  std::vector<std::string> sensors;  // names
  std::vector<HwinfoReading> readings;
};

// Nothing, with why, when the block is not an active HWiNFO block or its
// header places a section outside the bytes given. Elements whose sensor
// index is out of range or whose value is not finite are left out.
struct HwinfoParse {
  std::optional<HwinfoBlock> block;
  std::string why;
};
HwinfoParse ParseHwinfoBlock(std::span<const std::byte> bytes);

// The block as hardware items: kinds from HWiNFO's sensor names ("CPU [#0]:
// ...", "GPU [#0]: ...", the board chip ...), labels as HWiNFO writes them
// ("CPU Package", "CPU (Tctl/Tdie)", "GPU Temperature", "Motherboard"),
// which are the labels the program's rules know.
std::vector<SnapshotItem> HwinfoItems(const HwinfoBlock& block);

}  // namespace sensorlib
