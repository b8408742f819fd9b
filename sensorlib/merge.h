// Several sources may know the same hardware (LibreHardwareMonitor and NVML
// both see an NVIDIA card; HWiNFO and LibreHardwareMonitor both see the
// processor). The machine must show each piece once: sources come in order
// of precedence and a later one adds only what the earlier ones lack.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sensorlib/sensor_source.h"

namespace sensorlib {

struct SourceItems {
  std::string source;
  std::vector<SnapshotItem> items;
};

// Processor items come from the first source that has any: sources name
// processors too differently to match one by one, and a second set would
// carry a second package reading. Every other item is left out when an
// earlier source gave an item of its kind with the same name (compared
// without case, blanks and a leading vendor word the sources disagree on).
// Items of one source are never merged with each other.
std::vector<SnapshotItem> MergeSources(std::vector<SourceItems> sources);

// The name two sources must share to be one piece of hardware.
std::string MatchName(std::string_view name);

}  // namespace sensorlib
