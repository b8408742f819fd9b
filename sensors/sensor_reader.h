// The program's sensor state: the outside sensor library (bound lazily, by
// ordinals) and the shared hardware block the read pass publishes into.
// Everything here runs on the worker thread; only the block is shared, with
// other processes, through single aligned 32-bit loads and stores.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "sensors/block_store.h"
#include "sensors/hardware_block.h"
#include "sensors/read_pass.h"
#include "sensors/sensor_api.h"
#ifdef _WIN32
// The section itself, for the callers that look at it as Windows sees it.
#include "sensors/block_store_win.h"
#endif

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
  // After a failed MapHardwareBlock: why, and whether a live holder is why.
  const std::string& BlockRefusal() const noexcept { return block_refusal_; }
  bool BlockBusy() const noexcept { return block_busy_; }

  bool IsBlockMapped() const noexcept { return block_view_ != nullptr; }
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
  bool initialised_ = false;
  ostrel::sensors::EntryPoints entry_points_;
  std::unique_ptr<HardwareBlockStore> block_;
  void* block_view_ = nullptr;  // block_'s view, while there is one
  bool block_created_ = false;
  std::string block_refusal_;
  bool block_busy_ = false;
  bool cpu_found_ = false;
  ostrel::sensors::PassObserver* observer_ = nullptr;
  ostrel::sensors::TraceSink* trace_sink_ = nullptr;
};

}  // namespace ostrel::sensors
