// The eight entry points, exported by ordinal only (exports.def). No
// exception leaves them: a failure answers like an empty library.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "sensorlib/detect_sources.h"
#include "sensorlib/entry_guard.h"
#include "sensorlib/library.h"

namespace {

using sensorlib::Library;

// Never throws: it also reports what the entry points caught.
void WriteLog(std::string_view line) noexcept {
  char text[1024];
  std::snprintf(text, sizeof text, "%.*s\n", static_cast<int>(std::min<std::size_t>(line.size(), 1000)),
                line.data());
  std::fputs(text, stderr);
  ::OutputDebugStringA(text);
}

double WallClockSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Never destroyed: a destructor would run under the loader lock at process
// exit, where releasing WMI's COM proxies or freeing nvml.dll may hang. The
// system takes back the handles; SensorShutdown lets go of the sources
// earlier for whoever wants that.
Library& Instance() {
  static Library* library =
      new Library([] { return sensorlib::DetectSourcesOfThisMachine(WriteLog); }, WallClockSeconds);
  return *library;
}

template <typename Result, typename Call>
Result Guarded(Result fallback, Call&& call) noexcept {
  return sensorlib::GuardedCall(&Instance, WriteLog, fallback, call);
}

template <typename Call>
void Guarded(Call&& call) noexcept {
  Guarded(0, [&](Library& l) {
    call(l);
    return 0;
  });
}

}  // namespace

extern "C" {

std::int32_t SensorInit(std::uint32_t flags) noexcept {
  return Guarded(std::int32_t{1}, [&](Library& l) { return l.Init(flags); });
}

void SensorShutdown() noexcept {
  Guarded([](Library& l) { l.Shutdown(); });
}

std::int32_t SensorVersion() noexcept { return sensorlib::kLibraryVersion; }

std::int32_t SensorHardwareCount() noexcept {
  return Guarded(std::int32_t{0}, [](Library& l) { return l.HardwareCount(); });
}

void SensorUpdate() noexcept {
  Guarded([](Library& l) { l.Update(); });
}

void SensorSelectHardware(std::int32_t hardware) noexcept {
  Guarded([&](Library& l) { l.SelectHardware(hardware); });
}

void SensorHardwareName(std::int32_t hardware, char* buffer, std::int32_t size) noexcept {
  Guarded([&](Library& l) { l.HardwareName(hardware, buffer, size); });
}

std::int32_t SensorGetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot,
                              void* record) noexcept {
  return Guarded(std::int32_t{0},
                 [&](Library& l) { return l.GetReading(sensor_class, hardware, slot, record); });
}

// Diagnostics beyond the eight (ostrelctl): the source of an item, and the
// sources as SensorInit found them, one "<name>\t<found|absent>\t<why>"
// line each. The latter returns the bytes the full text needs with its NUL
// and writes what fits.
void SensorHardwareSource(std::int32_t hardware, char* buffer, std::int32_t size) noexcept {
  Guarded([&](Library& l) { l.HardwareSource(hardware, buffer, size); });
}

std::int32_t SensorDescribeSources(char* buffer, std::int32_t size) noexcept {
  return Guarded(std::int32_t{0},
                 [&](Library& l) { return sensorlib::CopyWithSize(l.DescribeSources(), buffer, size); });
}

}  // extern "C"
