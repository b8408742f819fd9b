// One read pass over everything the sensor library offers: the walk over
// hardware items and slots, the trace lines, and the pass results. Plain code:
// the library comes in as entry points, the trace as a sink.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "sensors/hardware_block.h"
#include "sensors/name_rules.h"
#include "sensors/sensor_api.h"

namespace ostrel::sensors {

class TraceSink {
 public:
  virtual ~TraceSink() = default;
  virtual void Write(std::string_view line) noexcept = 0;
};

// Trace lines as printf would write them to a C stream, gathered and written
// in one piece when the sink goes (at the end of a pass) or grows past
// kFlushBytes. The C runtime writes a character device (a console, NUL) one
// system call per call, which for a pass of a hundred lines cost far more
// than the pass itself.
class FileTrace final : public TraceSink {
 public:
  static constexpr std::size_t kFlushBytes = 64 * 1024;

  explicit FileTrace(std::FILE* file) noexcept : file_(file) {}
  FileTrace(const FileTrace&) = delete;
  FileTrace& operator=(const FileTrace&) = delete;
  ~FileTrace() override { Flush(); }
  void Write(std::string_view line) noexcept override;
  void Flush() noexcept;

 private:
  std::FILE* file_;
  std::string pending_;
};

void TraceLine(TraceSink& sink, const char* format, ...) noexcept __attribute__((format(printf, 2, 3)));

struct ObservedReading {
  int hardware = 0;
  std::string_view hardware_name;
  int sensor_class = 0;
  int slot = 0;
  int kind = 0;
  std::string_view label;
  double value = 0;
};

enum class PassEnd {
  NotBound,    // the library is not loaded or lacks an entry point
  NoHardware,  // the hardware count was 0 or negative
  Completed,
};

struct PassOutcome {
  PassEnd end = PassEnd::NotBound;
  PassResults results;
  BlockUpdate update;      // what the results decide for the block
  bool published = false;  // whether the update went into a mapped block
};

class PassObserver {
 public:
  virtual ~PassObserver() = default;
  // Each hardware item as its readings are about to be read.
  virtual void OnHardware(int /*hardware*/, std::string_view /*name*/) noexcept {}
  // Every reading a query returned as present, of every class, in query
  // order. The views are valid only during the call.
  virtual void OnReading(const ObservedReading& reading) noexcept = 0;
  virtual void OnPassEnd(const PassOutcome& outcome) noexcept = 0;
};

// Hardware items read per pass. No real machine comes near it; a library
// that reports hundreds of thousands would otherwise make one pass take many
// seconds and hundreds of MB.
inline constexpr int kMaxHardwareItems = 1024;

// Steps 2 to 4 of a pass (count, update, the walk over at most
// kMaxHardwareItems items, with one trace line when the cap bites); nothing
// when the count is 0 or negative. Needs complete entry points.
std::optional<PassResults> RunReadPass(const EntryPoints& library, TraceSink& trace,
                                       PassObserver* observer) noexcept;

}  // namespace ostrel::sensors
