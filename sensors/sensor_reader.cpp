#include "sensors/sensor_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace ostrel::sensors {

namespace {

void (*ProcAt(HMODULE library, int ordinal))() {
  return reinterpret_cast<void (*)()>(::GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
}

}  // namespace

SensorReader::SensorReader(std::string library_file) : library_file_(std::move(library_file)) {}

SensorReader::~SensorReader() = default;

void SensorReader::BindSensorLibrary() noexcept {
  FileTrace standard_output(stdout);
  TraceSink& trace = trace_sink_ ? *trace_sink_ : standard_output;
  initialised_ = false;
  // The entry points of an earlier attempt go with the handle they came from.
  entry_points_ = {};
  library_ = ::LoadLibraryA(library_file_.c_str());
  if (library_) {
    entry_points_ = ResolveEntryPoints([this](int ordinal) { return ProcAt(library_, ordinal); });
  }
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
        ApplyBlockUpdate(block_view_.get(), outcome.update);
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
  std::optional<HardwareBlockMapping> mapping = OpenHardwareBlock();
  if (!mapping) return false;
  if (mapping->created) std::memset(mapping->view.get(), 0, kBlockSize);
  block_handle_ = std::move(mapping->section);
  block_view_ = std::move(mapping->view);
  block_created_ = mapping->created;
  return true;
}

float SensorReader::BlockValue(BlockField field) const noexcept {
  return block_view_ ? LoadBlockFloat(block_view_.get(), field) : 0.0f;
}

float SensorReader::CpuTemperature() const noexcept {
  const float value = BlockValue(BlockField::Cpu);
  return std::isfinite(value) ? value : 0.0f;
}

std::optional<HardwareBlockMapping> OpenHardwareBlock() noexcept {
  ::SetLastError(ERROR_SUCCESS);
  HardwareBlockMapping mapping;
  mapping.section.reset(
      ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, kBlockName));
  const DWORD error = ::GetLastError();
  if (!mapping.section) return std::nullopt;
  mapping.view.reset(::MapViewOfFile(mapping.section.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!mapping.view) return std::nullopt;
  mapping.created = error == ERROR_SUCCESS;
  return mapping;
}

}  // namespace ostrel::sensors
