// The program's sensor state: the outside sensor library (bound lazily, by
// ordinals) and the shared hardware block the read pass publishes into.
// Everything here runs on the worker thread; only the block is shared, with
// other processes, through single aligned 32-bit loads and stores.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"
#include "sensors/read_pass.h"
#include "sensors/sensor_api.h"

namespace ostrel::sensors {

class SensorReader {
 public:
  explicit SensorReader(std::string library_file = std::string(ostrel::sensors::kLibraryFileName));
  SensorReader(const SensorReader&) = delete;
  SensorReader& operator=(const SensorReader&) = delete;
  ~SensorReader();

  // One binding attempt: load, resolve the eight ordinals, SensorInit(192),
  // with its trace line.
  void BindSensorLibrary() noexcept;
  // One read pass (binds first while not initialised); publishes into the
  // block when it is mapped.
  void ReadSensors() noexcept;
  // Maps the block unless it already is (zeroing it when this process created
  // it); returns whether it is mapped now. Once mapped it stays mapped for the
  // lifetime of this object.
  bool MapHardwareBlock() noexcept;

  bool IsBlockMapped() const noexcept { return static_cast<bool>(block_view_); }
  // Whether this object created the block (rather than opening one another
  // process holds); meaningful once mapped.
  bool BlockCreated() const noexcept { return block_created_; }
  // Processor temperature at offset 152, read as one aligned 32-bit load;
  // 0 when the block is not mapped or holds no finite number (other processes
  // may write anything there). Any other finite float can come back: callers
  // that convert to an integer must bound it first.
  float CpuTemperature() const noexcept;

  // Whether any pass of this object found a processor temperature. Until
  // then the block's field holds a 0 (or another process's value) that is
  // no reading of this machine.
  bool CpuTemperatureFound() const noexcept { return cpu_found_; }

  // A field of the block as it stands (one aligned 32-bit load); 0 when the
  // block is not mapped.
  float BlockValue(ostrel::sensors::BlockField field) const noexcept;

  bool IsLibraryInitialised() const noexcept { return initialised_; }
  bool IsLibraryBound() const noexcept { return entry_points_.Complete(); }

  // Sees every reading of the following passes and what each pass published
  // (used by ostrelctl). Borrowed; pass nullptr to stop.
  void SetPassObserver(ostrel::sensors::PassObserver* observer) noexcept { observer_ = observer; }
  // Where the trace lines go (borrowed); nullptr: standard output, as the
  // program writes them. Set it before the passes start.
  void SetTraceSink(ostrel::sensors::TraceSink* sink) noexcept { trace_sink_ = sink; }

 private:
  std::string library_file_;
  // Never freed, like the process-wide entry points taken from it: the
  // library may run threads or hold a driver of its own, and stays loaded
  // until the process ends. Each binding attempt loads it again.
  HMODULE library_ = nullptr;
  bool initialised_ = false;
  ostrel::sensors::EntryPoints entry_points_;
  ostrel::win::unique_handle block_handle_;
  ostrel::win::unique_mapped_view block_view_;
  bool block_created_ = false;
  bool cpu_found_ = false;
  ostrel::sensors::PassObserver* observer_ = nullptr;
  ostrel::sensors::TraceSink* trace_sink_ = nullptr;
};

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
