// The fixed name rules that pick the processor, graphics and mainboard
// temperatures out of every reading of a pass. Labels and hardware names are
// compared byte for byte, case-sensitively.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace ostrel::sensors {

// Where a reading was seen: hardware index and slot (its class is implied by
// the rule that used it).
struct ReadingSource {
  int hardware = -1;
  int slot = -1;
};

enum class ResultId : std::size_t {
  ProcessorPackage,  // kind 11, "CPU Package"; last one wins
  BoardPackage,      // kind 12, "CPU Package"; last one wins
  TctlTdie,          // kind 11, label "CPU (Tctl/Tdie)"; last one wins
  BoardCpu,          // kind 12, label "CPU"; last one wins
  Mainboard,         // kind 12, "Motherboard"; first one wins
  GpuDedicated,      // kind 13, "GPU Temperature", dedicated adapter; highest wins
  GpuIntegrated,     // kind 13, "GPU Temperature", other adapters; highest wins
};
inline constexpr std::size_t kResultCount = 7;

struct Candidate {
  float value = 0;
  bool found = false;
  ReadingSource source;
};

// Fresh for every pass: all values 0, nothing found.
struct PassResults {
  std::array<Candidate, kResultCount> candidates{};
  const Candidate& operator[](ResultId id) const noexcept { return candidates[static_cast<std::size_t>(id)]; }
  Candidate& operator[](ResultId id) noexcept { return candidates[static_cast<std::size_t>(id)]; }
};

struct TemperatureReading {
  int kind = 0;
  std::string_view label;
  std::string_view hardware_name;
  float value = 0;
  ReadingSource source;
};

void ApplyTemperatureRules(PassResults& results, const TemperatureReading& reading) noexcept;

// A graphics adapter is dedicated when its name carries "NVIDIA", "GeForce",
// "RTX", "GTX", "RX" or "Vega".
bool IsDedicatedAdapter(std::string_view hardware_name) noexcept;

enum class LoadKind { None, Cpu, DedicatedGpu, IntegratedGpu };
// Which usage trace line a load reading earns, if any.
LoadKind ClassifyLoad(int kind, std::string_view label, std::string_view hardware_name) noexcept;

// The library's 64-bit value as the 32-bit float the rules compare and the
// block stores; nothing for NaN, infinities and values beyond the float range,
// which no sensor reports and which must not travel on towards integer
// conversions.
std::optional<float> NarrowReading(double value) noexcept;

std::string_view ResultName(ResultId id) noexcept;

}  // namespace ostrel::sensors
