// libnvidia-ml.so.1, the driver's own NVML, opened at run time and never
// linked: a machine without the NVIDIA driver simply has no such source. A
// stand-in of the same soname found first on LD_LIBRARY_PATH replaces it.
#pragma once

#include "sensorlib/library.h"

namespace sensorlib {

inline constexpr char kNvmlSoname[] = "libnvidia-ml.so.1";

DetectedSource DetectNvml();

}  // namespace sensorlib
