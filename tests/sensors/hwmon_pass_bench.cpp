// One read pass of the program over the hwmon source (the fake Ryzen tree,
// about forty readings) against the same pass over a script of the same
// items and readings, and the time of one SensorUpdate for each. Uses bin's
// library; run by hand, not by ctest:
//
//   tools/wine-env run <build>/wine <build>/tests/hwmon_pass_bench.exe [passes]
//
// Trace lines go to a file (buffered, as when the program's output is
// redirected to one), so the figures show the library, not the console.
// Figures go to standard error.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sensors/reading_record.h"
#include "sensors/sensor_reader.h"
#include "tests/sensors/fake_sysfs.h"

namespace {

using namespace ostrel::sensors;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path BuildDir() {
  std::wstring path(MAX_PATH * 4, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return fs::path(path).parent_path().parent_path();
}

struct Figures {
  double median, mean;
};

template <typename Body>
Figures Time(int passes, Body&& body) {
  std::vector<double> us;
  for (int i = 0; i < passes; ++i) {
    const auto start = Clock::now();
    body();
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(us.begin(), us.end());
  double sum = 0;
  for (double u : us) sum += u;
  return {us[us.size() / 2], sum / us.size()};
}

// The library's current items and readings written as a script.
std::string AsScript(const EntryPoints& lib, int& readings) {
  std::string script;
  readings = 0;
  const int count = lib.hardware_count();
  lib.update();
  for (int h = 0; h < count; ++h) {
    HardwareName name;
    lib.hardware_name(h, name.chars.data(), kHardwareNameSize);
    script += "hardware " + std::to_string(0) + " " + std::string(name.View()) + "\n";
    script.replace(script.rfind("hardware 0 "), 10, "hardware ?");
    for (int slot = 0; slot < kSlotCount; ++slot) {
      for (int sensor_class : {kClassTemperature, kClassFan, kClassClock, kClassVoltage, kClassLoad}) {
        ReadingRecord record;
        record.Clear();
        if (!lib.get_reading(sensor_class, h, slot, &record)) continue;
        const Reading r = DecodeReading(record);
        if (!r.present) break;
        const auto at = script.rfind("hardware ?");
        if (at != std::string::npos) script.replace(at, 10, "hardware " + std::to_string(r.kind));
        char value[64];
        std::snprintf(value, sizeof value, "%.3f", r.value);
        script += std::to_string(sensor_class) + " " + std::to_string(slot) + " " + value + " " +
                  std::string(r.label) + "\n";
        ++readings;
      }
    }
  }
  return script;
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  const fs::path bin = BuildDir() / "bin";
  const fs::path work =
      fs::temp_directory_path() / ("ostrel-hwmon-bench-" + std::to_string(::GetCurrentProcessId()));
  fs::remove_all(work);
  fake_sysfs::RyzenDesktop(work / "tree");
  if (!std::freopen((work / "trace.txt").string().c_str(), "w", stdout)) return 1;

  // The library detects its sources at every SensorInit: first the tree...
  ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", nullptr);
  ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", (work / "tree").wstring().c_str());
  const std::string library = (bin / kLibraryFileName).string();
  SensorReader reader(library);
  reader.MapHardwareBlock();
  reader.ReadSensors();
  ostrel::win::unique_hmodule module(::LoadLibraryA(library.c_str()));
  const EntryPoints lib = ResolveEntryPoints([&](int ordinal) {
    return reinterpret_cast<void (*)()>(::GetProcAddress(module.get(), MAKEINTRESOURCEA(ordinal)));
  });
  if (!reader.IsLibraryInitialised() || !lib.Complete()) {
    std::fprintf(stderr, "cannot bind %s\n", library.c_str());
    return 1;
  }
  int readings = 0;
  const std::string script = AsScript(lib, readings);
  const int items = lib.hardware_count();
  const Figures hwmon_pass = Time(passes, [&] { reader.ReadSensors(); });
  const Figures hwmon_update = Time(passes, [&] { lib.update(); });

  // ...then a script of the same items and readings.
  std::ofstream(work / "same.txt", std::ios::binary) << script;
  ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", (work / "same.txt").wstring().c_str());
  lib.init(kInitFlags);
  int script_readings = 0;
  AsScript(lib, script_readings);
  const Figures script_pass = Time(passes, [&] { reader.ReadSensors(); });
  const Figures script_update = Time(passes, [&] { lib.update(); });

  std::fprintf(stderr, "%d hardware items; %d readings from hwmon, %d from the script; %d passes each\n",
               items, readings, script_readings, passes);
  const auto row = [](const char* what, const Figures& f) {
    std::fprintf(stderr, "%-29s median %8.1f us  mean %8.1f us\n", what, f.median, f.mean);
  };
  row("read pass, hwmon source:", hwmon_pass);
  row("read pass, scripted source:", script_pass);
  std::fprintf(
      stderr,
      "hwmon / script: median %.2f, mean %.2f (the mean carries the chip listing of every fifth pass)\n",
      hwmon_pass.median / script_pass.median, hwmon_pass.mean / script_pass.mean);
  row("SensorUpdate, hwmon source:", hwmon_update);
  row("SensorUpdate, script:", script_update);
  std::fclose(stdout);
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return 0;
}
