// What the commands need of the system beyond the engine: the sensor
// library's diagnostics (exports of the DLL on Windows, linked in on Linux),
// the published block opened read-only by name, and wide text for output.
// system_access_win.cpp and system_access_linux.cpp.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "sensorlib/diagnostic_exports.h"
#include "sensors/sensor_api.h"

namespace ostrelctl {

struct SensorDiagnostics {
  ostrel::sensors::InitFn init = nullptr;
  sensorlib::HardwareSourceFn hardware_source = nullptr;  // null: the library has none
  sensorlib::DescribeSourcesFn describe_sources = nullptr;
};

// Loads the library (kept loaded to the end, as the program keeps it) unless
// it is linked in; nothing when it cannot be loaded.
std::optional<SensorDiagnostics> LoadSensorDiagnostics(const std::string& library);
// The library as the output names it.
std::string LibraryShownName(const std::string& library);

// The block as another process publishes it, read-only; never created.
struct PublishedBlock {
  std::optional<std::array<float, 4>> fields;  // in kBlockFields order
  std::string error;                           // without fields: the message
};
PublishedBlock ReadPublishedBlock();
bool BlockExists();
// How the block is named to a user here, and which program publishes it.
const char* BlockShownName();
const char* PublisherName();

std::string Utf8(const std::wstring& text);

}  // namespace ostrelctl
