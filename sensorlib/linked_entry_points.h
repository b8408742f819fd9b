// The sensor library linked into the program (Linux has no DLL to load): the
// same eight entry points as plain functions over one library instance that
// reads this machine, plus the diagnostics ostrelctl shows and the user's
// CPU sensor choice.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sensors/sensor_api.h"

namespace sensorlib {

ostrel::sensors::EntryPoints LinkedEntryPoints() noexcept;

// choice: "chip/label" (cpu_sensor of the configuration), or empty for the
// automatic rules. False when the machine has no such chip or input, or the
// text is not of that form: why says so, and the automatic rules apply.
// Takes effect at the next update.
bool SetCpuSensorChoice(std::string_view choice, std::string& why) noexcept;

// The diagnostics of diagnostic_exports.h, with the same contracts.
void LinkedHardwareSource(std::int32_t hardware, char* buffer, std::int32_t size) noexcept;
std::int32_t LinkedDescribeSources(char* buffer, std::int32_t size) noexcept;

}  // namespace sensorlib
