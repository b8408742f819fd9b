// INTERIM, until the Linux sources land (branch linux-sources): the agreed
// interface of the linked sensor library. Delete this folder at the merge.
#pragma once

#include <string>
#include <string_view>

#include "sensors/sensor_api.h"

namespace sensorlib {

// The eight entry points, as plain functions of this program.
ostrel::sensors::EntryPoints LinkedEntryPoints() noexcept;

// "chip/label" or empty (the automatic choice). False: no such chip or
// label; why says so, and the automatic choice applies.
bool SetCpuSensorChoice(std::string_view choice, std::string& why) noexcept;

}  // namespace sensorlib
