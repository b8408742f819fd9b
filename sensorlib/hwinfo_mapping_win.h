// HWiNFO's block as the Windows object it is.
#pragma once

#include <string>

#include "sensorlib/library.h"

namespace sensorlib {

inline constexpr wchar_t kHwinfoMappingName[] = L"Global\\HWiNFO_SENS_SM2";

DetectedSource DetectHwinfo();

}  // namespace sensorlib
