#include "sensorlib/linked_entry_points.h"

#include <chrono>
#include <cstdio>

#include "sensorlib/detect_sources.h"
#include "sensorlib/entry_guard.h"

namespace sensorlib {
namespace {

void WriteLog(std::string_view line) noexcept {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(std::min<std::size_t>(line.size(), 1000)), line.data());
}

double WallClockSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Never destroyed: a worker thread may still be in a pass while the program
// exits, and the system takes back the files and the NVML module anyway.
Library& Instance() {
  static Library* library =
      new Library([] { return DetectSourcesOfThisMachine(WriteLog); }, WallClockSeconds);
  return *library;
}

template <typename Result, typename Call>
Result Guarded(Result fallback, Call&& call) noexcept {
  return GuardedCall(&Instance, WriteLog, fallback, call);
}

std::int32_t Init(std::uint32_t flags) noexcept {
  return Guarded(std::int32_t{1}, [&](Library& l) { return l.Init(flags); });
}

void Shutdown() noexcept {
  Guarded(0, [](Library& l) { return l.Shutdown(), 0; });
}

void Version() noexcept {}

std::int32_t HardwareCount() noexcept {
  return Guarded(std::int32_t{0}, [](Library& l) { return l.HardwareCount(); });
}

void Update() noexcept {
  Guarded(0, [](Library& l) { return l.Update(), 0; });
}

void SelectHardware(std::int32_t hardware) noexcept {
  Guarded(0, [&](Library& l) { return l.SelectHardware(hardware), 0; });
}

void HardwareName(std::int32_t hardware, char* buffer, std::int32_t size) noexcept {
  Guarded(0, [&](Library& l) { return l.HardwareName(hardware, buffer, size), 0; });
}

std::int32_t GetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot,
                        void* record) noexcept {
  return Guarded(std::int32_t{0},
                 [&](Library& l) { return l.GetReading(sensor_class, hardware, slot, record); });
}

}  // namespace

ostrel::sensors::EntryPoints LinkedEntryPoints() noexcept {
  ostrel::sensors::EntryPoints e;
  e.init = &Init;
  e.entry398 = &Shutdown;
  // The program binds 613 (SensorVersion) without calling it; its type in
  // the table is that of an uncalled entry.
  e.entry613 = &Version;
  e.hardware_count = &HardwareCount;
  e.update = &Update;
  e.select_hardware = &SelectHardware;
  e.hardware_name = &HardwareName;
  e.get_reading = &GetReading;
  return e;
}

void LinkedHardwareSource(std::int32_t hardware, char* buffer, std::int32_t size) noexcept {
  Guarded(0, [&](Library& l) { return l.HardwareSource(hardware, buffer, size), 0; });
}

std::int32_t LinkedDescribeSources(char* buffer, std::int32_t size) noexcept {
  return Guarded(std::int32_t{0},
                 [&](Library& l) { return CopyWithSize(l.DescribeSources(), buffer, size); });
}

}  // namespace sensorlib
