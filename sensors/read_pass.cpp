#include "sensors/read_pass.h"

#include <algorithm>
#include <cstdarg>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "sensors/reading_record.h"

namespace ostrel::sensors {
namespace {

int Length(std::string_view s) noexcept { return static_cast<int>(s.size()); }

class Walk {
 public:
  Walk(const EntryPoints& library, TraceSink& trace, PassObserver* observer) noexcept
      : library_(library), trace_(trace), observer_(observer) {}

  void Item(int hardware) noexcept {
    name_.Clear();
    library_.select_hardware(hardware);
    library_.hardware_name(hardware, name_.chars.data(), kHardwareNameSize);
    hardware_ = hardware;
    hardware_name_ = name_.View();
    if (observer_) observer_->OnHardware(hardware, hardware_name_);
    for (int slot = 0; slot < kSlotCount; ++slot) Slot(slot);
  }

  const PassResults& Results() const noexcept { return results_; }

 private:
  // One query into the shared record; nothing when the query failed.
  std::optional<Reading> Query(int sensor_class, int slot) noexcept {
    if (!library_.get_reading(sensor_class, hardware_, slot, &record_)) return std::nullopt;
    Reading r = DecodeReading(record_);
    if (r.present && observer_) {
      observer_->OnReading({.hardware = hardware_,
                            .hardware_name = hardware_name_,
                            .sensor_class = sensor_class,
                            .slot = slot,
                            .kind = r.kind,
                            .label = r.label,
                            .value = r.value});
    }
    return r;
  }

  void Slot(int slot) noexcept {
    record_.Clear();
    if (auto r = Query(kClassTemperature, slot)) {
      if (!r->present) return;
      if (auto value = NarrowReading(r->value)) {
        ApplyTemperatureRules(results_, {.kind = r->kind,
                                         .label = r->label,
                                         .hardware_name = hardware_name_,
                                         .value = *value,
                                         .source = {hardware_, slot}});
      }
    }
    for (int sensor_class : {kClassFan, kClassClock, kClassVoltage}) {
      auto r = Query(sensor_class, slot);
      if (r && !r->present) return;
    }
    auto r = Query(kClassLoad, slot);
    if (!r || !r->present) return;
    TraceLine(trace_, "Sensor: %.*s, Location: %.*s, Value: %.1f%%, Type: %d\n", Length(hardware_name_),
              hardware_name_.data(), Length(r->label), r->label.data(), r->value, r->kind);
    switch (ClassifyLoad(r->kind, r->label, hardware_name_)) {
      case LoadKind::Cpu:
        TraceLine(trace_, "Found CPU usage: %.1f%%\n", r->value);
        break;
      case LoadKind::DedicatedGpu:
        TraceLine(trace_, "Found Dedicated GPU usage: %.1f%%\n", r->value);
        break;
      case LoadKind::IntegratedGpu:
        TraceLine(trace_, "Found Integrated GPU usage: %.1f%%\n", r->value);
        break;
      case LoadKind::None:
        break;
    }
  }

  const EntryPoints& library_;
  TraceSink& trace_;
  PassObserver* observer_;
  PassResults results_;
  HardwareName name_;
  ReadingRecord record_;
  int hardware_ = 0;
  std::string_view hardware_name_;
};

}  // namespace

void FileTrace::Write(std::string_view line) noexcept {
  try {
    pending_.append(line);
  } catch (...) {
    // No room to gather: this line goes out on its own, after the others.
    Flush();
    std::fwrite(line.data(), 1, line.size(), file_);
    return;
  }
  if (pending_.size() >= kFlushBytes) Flush();
}

void FileTrace::Flush() noexcept {
  if (pending_.empty() || !file_) return;
#ifdef _WIN32
  // A text-mode stream turns each "\n" into "\r\n" and hands a character
  // device its bytes piecemeal. The same bytes go out in one write when the
  // lines get their "\r" here and the file is binary for that one write.
  // The stream stays locked meanwhile, so no other thread's printf sees the
  // binary mode.
  struct StreamLock {
    std::FILE* file;
    explicit StreamLock(std::FILE* f) noexcept : file(f) { _lock_file(file); }
    ~StreamLock() { _unlock_file(file); }
  } lock(file_);
  std::fflush(file_);
  const int fd = _fileno(file_);
  const int mode = fd >= 0 ? _setmode(fd, _O_BINARY) : -1;
  if (mode == _O_BINARY || mode == _O_TEXT) {
    try {
      if (mode == _O_TEXT) {
        std::string crlf;
        crlf.reserve(pending_.size() + pending_.size() / 16);
        for (const char c : pending_) {
          if (c == '\n') crlf.push_back('\r');
          crlf.push_back(c);
        }
        pending_.swap(crlf);
      }
      _write(fd, pending_.data(), static_cast<unsigned>(pending_.size()));
      _setmode(fd, mode);
      pending_.clear();
      return;
    } catch (...) {
    }
  }
  // Any other mode, or no memory to convert: through the stream as it is.
  if (mode != -1) _setmode(fd, mode);
  std::fwrite(pending_.data(), 1, pending_.size(), file_);
  std::fflush(file_);
#else
  std::fwrite(pending_.data(), 1, pending_.size(), file_);
  std::fflush(file_);
#endif
  pending_.clear();
}

void TraceLine(TraceSink& sink, const char* format, ...) noexcept {
  // Room for a full hardware name, a full label and the widest %.1f of a
  // double (about 310 characters).
  char line[1024];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0) return;
  sink.Write({line, std::min(static_cast<std::size_t>(n), sizeof line - 1)});
}

std::optional<PassResults> RunReadPass(const EntryPoints& library, TraceSink& trace,
                                       PassObserver* observer) noexcept {
  const int count = library.hardware_count();
  if (count <= 0) return std::nullopt;
  library.update();
  if (count > kMaxHardwareItems) {
    TraceLine(trace, "Hardware count %d is above %d: only the first %d items are read\n", count,
              kMaxHardwareItems, kMaxHardwareItems);
  }
  Walk walk(library, trace, observer);
  for (int hardware = 0; hardware < std::min(count, kMaxHardwareItems); ++hardware) walk.Item(hardware);
  return walk.Results();
}

}  // namespace ostrel::sensors
