// The eight entry points, exported by ordinal only (exports.def). No
// exception leaves them: a failure answers like an empty library.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "sensorlib/library.h"
#include "sensorlib/script_location.h"
#include "sensorlib/scripted_source.h"

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

Library& Instance() {
  static Library library = [] {
    std::vector<std::unique_ptr<sensorlib::SensorSource>> sources;
    sensorlib::ScriptLocation where = sensorlib::LocateScript();
    sources.push_back(std::make_unique<sensorlib::ScriptedSource>(std::move(where.path),
                                                                  std::move(where.how_found), WriteLog));
    return Library(std::move(sources), WallClockSeconds);
  }();
  return library;
}

// Runs a call on the library; what it throws becomes the fallback answer.
template <typename Result, typename Call>
Result Guarded(Result fallback, Call&& call) noexcept {
  try {
    return call(Instance());
  } catch (const std::exception& e) {
    char text[512];
    std::snprintf(text, sizeof text, "sensorlib: %s", e.what());
    WriteLog(text);
  } catch (...) {
    WriteLog("sensorlib: unexpected failure");
  }
  return fallback;
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

}  // extern "C"
