// The two /proc files the hwmon source reads: /proc/stat for the processor's
// load and /proc/cpuinfo for its name. Both are parsed as untrusted text.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sensorlib {

// The jiffies of the summary "cpu" line.
struct CpuTimes {
  std::uint64_t busy = 0;
  std::uint64_t total = 0;
};

// Nothing when the first line is not a "cpu" line of at least four numbers.
std::optional<CpuTimes> ParseProcStat(std::string_view text) noexcept;

// Per cent busy between two samples; nothing when no time passed or the
// counters went backwards (a different host, a wrapped counter).
std::optional<double> LoadBetween(const CpuTimes& before, const CpuTimes& after) noexcept;

// "model name" per "physical id" (0 when the file names no package), cleaned
// for the record; empty when the file names no model.
std::map<int, std::string> ParseCpuModels(std::string_view cpuinfo);

}  // namespace sensorlib
