// The sources of this machine, in order of precedence, as SensorInit finds
// them (see the table in README.md).
#pragma once

#include <vector>

#include "sensorlib/library.h"
#include "sensorlib/scripted_source.h"

namespace sensorlib {

std::vector<DetectedSource> DetectSourcesOfThisMachine(const Log& log);

}  // namespace sensorlib
