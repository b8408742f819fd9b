#include "sensors/name_rules.h"

#include <cmath>
#include <limits>

#include "sensors/sensor_api.h"

namespace ostrel::sensors {
namespace {

bool Contains(std::string_view text, std::string_view part) noexcept {
  return text.find(part) != std::string_view::npos;
}

bool EitherContains(const TemperatureReading& r, std::string_view part) noexcept {
  return Contains(r.label, part) || Contains(r.hardware_name, part);
}

void Take(Candidate& c, const TemperatureReading& r) noexcept {
  c.value = r.value;
  c.found = true;
  c.source = r.source;
}

void TakeHigher(Candidate& c, const TemperatureReading& r) noexcept {
  if (!c.found || r.value > c.value) Take(c, r);
}

}  // namespace

void ApplyTemperatureRules(PassResults& results, const TemperatureReading& r) noexcept {
  switch (r.kind) {
    case kKindProcessor:
      if (r.label == "CPU (Tctl/Tdie)") Take(results[ResultId::TctlTdie], r);
      if (EitherContains(r, "CPU Package")) Take(results[ResultId::ProcessorPackage], r);
      break;
    case kKindMainboard:
      if (EitherContains(r, "CPU")) {
        if (r.label == "CPU") Take(results[ResultId::BoardCpu], r);
        if (EitherContains(r, "CPU Package")) Take(results[ResultId::BoardPackage], r);
      }
      if (EitherContains(r, "Motherboard") && !results[ResultId::Mainboard].found) {
        Take(results[ResultId::Mainboard], r);
      }
      break;
    case kKindGraphics:
      if (EitherContains(r, "GPU Temperature")) {
        TakeHigher(
            results[IsDedicatedAdapter(r.hardware_name) ? ResultId::GpuDedicated : ResultId::GpuIntegrated],
            r);
      }
      break;
    default:
      break;
  }
}

bool IsDedicatedAdapter(std::string_view name) noexcept {
  for (std::string_view marker : {"NVIDIA", "GeForce", "RTX", "GTX", "RX", "Vega"}) {
    if (Contains(name, marker)) return true;
  }
  return false;
}

LoadKind ClassifyLoad(int kind, std::string_view label, std::string_view hardware_name) noexcept {
  if (kind == kKindProcessor) {
    for (std::string_view part : {"Total", "Average", "CPU Total", "CPU Utilization"}) {
      if (Contains(label, part)) return LoadKind::Cpu;
    }
  } else if (kind == kKindGraphics) {
    for (std::string_view part : {"GPU Utilization", "GPU D3D Usage", "GPU Bus Load"}) {
      if (Contains(label, part)) {
        return IsDedicatedAdapter(hardware_name) ? LoadKind::DedicatedGpu : LoadKind::IntegratedGpu;
      }
    }
  }
  return LoadKind::None;
}

std::optional<float> NarrowReading(double value) noexcept {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (!std::isfinite(value) || value > kMax || value < -kMax) return std::nullopt;
  return static_cast<float>(value);
}

std::string_view ResultName(ResultId id) noexcept {
  switch (id) {
    case ResultId::ProcessorPackage:
      return "package temperature of a processor item";
    case ResultId::BoardPackage:
      return "package temperature of a mainboard item";
    case ResultId::TctlTdie:
      return "Tctl/Tdie temperature";
    case ResultId::BoardCpu:
      return "plain CPU temperature of a mainboard item";
    case ResultId::Mainboard:
      return "mainboard temperature";
    case ResultId::GpuDedicated:
      return "dedicated graphics temperature";
    case ResultId::GpuIntegrated:
      return "integrated graphics temperature";
  }
  return "?";
}

}  // namespace ostrel::sensors
