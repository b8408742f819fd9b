// The Windows hardware block: a pagefile-backed section named
// "brovan_hardware_mapfile", shared with whatever process holds it too.
#pragma once

#include <windows.h>

#include <optional>

#include "common/win/unique_any.h"

namespace ostrel::sensors {

// The section and its view, both owned; created tells whether this call
// created the section rather than opening one another process holds.
struct HardwareBlockMapping {
  ostrel::win::unique_handle section;
  ostrel::win::unique_mapped_view view;
  bool created = false;
};

// Creates or opens "brovan_hardware_mapfile" (632 bytes, pagefile-backed) and
// maps it whole for reading and writing; nothing when either step fails.
std::optional<HardwareBlockMapping> OpenHardwareBlock() noexcept;

}  // namespace ostrel::sensors
