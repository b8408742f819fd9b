#include "sensors/sensor_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "sensors/sensor_binding.h"

namespace ostrel::sensors {

SensorReader::SensorReader(std::string library_file) : library_file_(std::move(library_file)) {}

SensorReader::~SensorReader() = default;

void SensorReader::BindSensorLibrary() noexcept {
  FileTrace standard_output(stdout);
  TraceSink& trace = trace_sink_ ? *trace_sink_ : standard_output;
  initialised_ = false;
  // The entry points of an earlier attempt go with the handle they came from.
  entry_points_ = BindEntryPoints(library_file_);
  if (!entry_points_.Complete()) {
    TraceLine(trace, "CANNOT LOAD DLL\n");
    return;
  }
  const std::int32_t result = entry_points_.init(kInitFlags);
  if (result != 0) {
    TraceLine(trace, "INIT FAILED %d\n", static_cast<int>(result));
    return;
  }
  TraceLine(trace, "INIT OK\n");
  initialised_ = true;
}

void SensorReader::ReadSensors() noexcept {
  if (!initialised_) BindSensorLibrary();
  PassOutcome outcome;
  if (entry_points_.Complete()) {
    FileTrace standard_output(stdout);
    TraceSink& trace = trace_sink_ ? *trace_sink_ : standard_output;
    if (auto results = RunReadPass(entry_points_, trace, observer_)) {
      outcome.end = PassEnd::Completed;
      outcome.results = *results;
      outcome.update = DecideBlockUpdate(*results);
      if (outcome.update.cpu.write) cpu_found_ = true;
      if (block_view_) {
        ApplyBlockUpdate(block_view_, outcome.update);
        outcome.published = true;
      }
    } else {
      outcome.end = PassEnd::NoHardware;
    }
  }
  if (observer_) observer_->OnPassEnd(outcome);
}

bool SensorReader::MapHardwareBlock() noexcept {
  if (block_view_) return true;
  BlockClaim claim = ClaimHardwareBlock();
  block_busy_ = claim.busy;
  if (!claim.store) {
    block_refusal_ = std::move(claim.refusal);
    return false;
  }
  block_refusal_.clear();
  if (claim.store->Created()) std::memset(claim.store->View(), 0, kBlockSize);
  block_created_ = claim.store->Created();
  block_view_ = claim.store->View();
  block_ = std::move(claim.store);
  return true;
}

float SensorReader::BlockValue(BlockField field) const noexcept {
  return block_view_ ? LoadBlockFloat(block_view_, field) : 0.0f;
}

float SensorReader::CpuTemperature() const noexcept {
  const float value = BlockValue(BlockField::Cpu);
  return std::isfinite(value) ? value : 0.0f;
}

}  // namespace ostrel::sensors
