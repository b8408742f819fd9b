// A user's own choice of CPU temperature, `cpu_sensor = <chip>/<label>`
// ("nct6798/CPUTIN", "k10temp/Tccd1"): some boards wire their monitor chip
// so that no automatic rule can know which input is the processor's.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sensorlib/hwmon_map.h"

namespace sensorlib {

struct CpuSensorChoice {
  std::string chip;   // a hwmon chip's "name" file
  std::string label;  // a temperature input's label, or its name ("temp2")
  bool operator==(const CpuSensorChoice&) const = default;
};

// "chip/label" with both parts present; nothing, and why, otherwise.
std::optional<CpuSensorChoice> ParseCpuSensorChoice(std::string_view text, std::string& why);

// The chosen input among the chips found: chip index, and input index within
// that chip's facts. The first chip of that name with such an input wins (two
// drives share a name). Nothing, and why (naming what there is instead),
// when the machine has no such chip or the chip no such temperature.
struct ChosenInput {
  std::size_t chip = 0;
  std::size_t input = 0;
};
std::optional<ChosenInput> FindChosenInput(const CpuSensorChoice& choice, std::span<const ChipFacts> chips,
                                           std::string& why);

// What the chosen reading becomes: the processor reading every other one
// gives way to (the last "CPU Package" of a processor item wins a pass).
inline constexpr std::string_view kChosenCpuLabel = "CPU Package";

}  // namespace sensorlib
