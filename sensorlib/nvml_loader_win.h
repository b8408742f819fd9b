// nvml.dll found and bound at run time: this library's folder and the
// program's (where a test puts a stand-in), then System32 where current
// drivers install it, then the NVSMI folder of older ones.
#pragma once

#include "sensorlib/library.h"

namespace sensorlib {

DetectedSource DetectNvml();

}  // namespace sensorlib
