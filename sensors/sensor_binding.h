// Where the read pass gets the sensor library's eight entry points: by
// ordinal from the DLL beside the program on Windows, linked into the daemon
// on Linux (there is no DLL there).
#pragma once

#include <string>

#include "sensors/sensor_api.h"

namespace ostrel::sensors {

// One binding attempt. Incomplete entry points: the library is not there.
// A library once loaded stays loaded until the process ends: it may run
// threads or hold a driver of its own.
EntryPoints BindEntryPoints(const std::string& library_file) noexcept;

}  // namespace ostrel::sensors
