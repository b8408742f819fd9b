// The user's CPU sensor choice, set by the program (at start and when its
// configuration is read again) and followed by the hwmon source at its next
// pass. Any thread.
#pragma once

#include <optional>

#include "sensorlib/cpu_sensor_choice.h"

namespace sensorlib {

void StoreCpuChoice(std::optional<CpuSensorChoice> choice);
std::optional<CpuSensorChoice> CurrentCpuChoice();

}  // namespace sensorlib
