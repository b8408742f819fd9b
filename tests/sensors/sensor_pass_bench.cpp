// One read pass of the program (SensorReader::ReadSensors: binding done,
// walk, rules, trace lines, publishing) against the library's own cost for
// the same query sequence called in a tight loop. Uses bin's library with the
// sample script staged beside it (twelve hardware items).
//
//   tools/wine-env run <build>/wine <build>/tests/sensor_pass_bench.exe [passes]
//
// The pass's trace lines go first to a file (buffered by the C runtime, as
// when the program's output is redirected to a file), then to NUL (a
// character device, which the C runtime writes unbuffered: one system call
// per line). Figures go to standard error.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <vector>

#include "sensors/reading_record.h"
#include "sensors/sensor_reader.h"

namespace {

using namespace ostrel::sensors;
using Clock = std::chrono::steady_clock;

std::filesystem::path BinDir() {
  std::wstring path(MAX_PATH * 4, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return std::filesystem::path(path).parent_path().parent_path() / "bin";
}

// The pass's call sequence without decoding, rules or trace: what the
// library costs by itself; with every_class, all five classes of every slot
// (the 12 x 512 x 5 bound of a library that never ends a slot early).
// Returns the number of reading queries.
long QueriesOnly(const EntryPoints& lib, bool every_class = false) {
  long queries = 0;
  const int count = lib.hardware_count();
  if (count <= 0) return 0;
  lib.update();
  HardwareName name;
  ReadingRecord record;
  for (int hardware = 0; hardware < count; ++hardware) {
    name.Clear();
    lib.select_hardware(hardware);
    lib.hardware_name(hardware, name.chars.data(), kHardwareNameSize);
    for (int slot = 0; slot < kSlotCount; ++slot) {
      record.Clear();
      for (int sensor_class : {kClassTemperature, kClassFan, kClassClock, kClassVoltage, kClassLoad}) {
        ++queries;
        if (lib.get_reading(sensor_class, hardware, slot, &record) && DecodeReading(record).present == 0 &&
            !every_class) {
          break;
        }
        if (sensor_class == kClassLoad) break;
      }
    }
  }
  return queries;
}

struct Figures {
  double median_us, mean_us, min_us;
};

template <typename Body>
Figures Time(int passes, Body&& body) {
  std::vector<double> us;
  us.reserve(passes);
  for (int i = 0; i < passes; ++i) {
    const auto start = Clock::now();
    body();
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(us.begin(), us.end());
  return {us[us.size() / 2], std::accumulate(us.begin(), us.end(), 0.0) / us.size(), us.front()};
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  const std::string library = (BinDir() / kLibraryFileName).string();
  // The sample desktop's twelve items, which bin no longer carries.
  if (!std::getenv("OSTREL_SENSOR_SCRIPT")) {
    const std::wstring sample = (BinDir().parent_path() / "sample" / "sensors.txt").wstring();
    ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", sample.c_str());
  }
  const std::filesystem::path trace_file = std::filesystem::temp_directory_path() / "sensor_pass_bench.txt";
  if (!std::freopen(trace_file.string().c_str(), "w", stdout)) return 1;

  SensorReader reader(library);
  reader.MapHardwareBlock();
  reader.ReadSensors();  // binds and warms up
  if (!reader.IsLibraryInitialised()) {
    std::fprintf(stderr, "cannot bind %s\n", library.c_str());
    return 1;
  }
  ostrel::win::unique_hmodule module(::LoadLibraryA(library.c_str()));
  const EntryPoints lib = ResolveEntryPoints([&](int ordinal) {
    return reinterpret_cast<void (*)()>(::GetProcAddress(module.get(), MAKEINTRESOURCEA(ordinal)));
  });
  const int items = lib.hardware_count();
  const long queries = QueriesOnly(lib);

  const Figures program = Time(passes, [&] { reader.ReadSensors(); });
  if (!std::freopen("NUL", "w", stdout)) return 1;
  std::filesystem::remove(trace_file);
  const Figures program_nul = Time(passes, [&] { reader.ReadSensors(); });
  const Figures alone = Time(passes, [&] { QueriesOnly(lib); });
  const long all_queries = QueriesOnly(lib, true);
  const Figures every = Time(passes, [&] { QueriesOnly(lib, true); });

  std::fprintf(stderr, "%d hardware items, %ld reading queries per pass (at most %d), %d passes each\n",
               items, queries, items * kSlotCount * 5, passes);
  const auto row = [](const char* what, const Figures& f) {
    std::fprintf(stderr, "%-34s median %8.1f us  mean %8.1f us  min %8.1f us\n", what, f.median_us, f.mean_us,
                 f.min_us);
  };
  row("program pass, trace to a file:", program);
  row("program pass, trace to NUL:", program_nul);
  row("library queries alone:", alone);
  std::fprintf(stderr, "%-34s median %8.1f us  (%ld queries, %.1f ns each)\n",
               "library, all five classes always:", every.median_us, all_queries,
               every.median_us * 1000 / all_queries);
  std::fprintf(stderr, "%-34s median %8.1f us (%.0f%% of the pass)\n",
               "program's own share, file trace:", program.median_us - alone.median_us,
               100.0 * (program.median_us - alone.median_us) / program.median_us);
  return 0;
}
