// What one of ostreld's passes costs in the sensor code: SensorUpdate alone
// (the reads of the tree) and the program's whole read pass (the update and
// the walk over every item's 512 slots), on a tree under OSTREL_SYSFS_ROOT.
// Run by hand, not by ctest, against the linux preset's libraries:
//
//   g++ -O2 -std=c++20 -I. tests/sensors/linked_pass_bench.cpp \
//     build-linux/sensorlib/libsensorlib_linked.a build-linux/sensorlib/libsensorlib_core.a \
//     build-linux/sensors/libostrel_sensor_rules.a -o /tmp/linked_pass_bench
//   OSTREL_SYSFS_ROOT=<tree> /tmp/linked_pass_bench [passes]
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "sensorlib/linked_entry_points.h"
#include "sensors/read_pass.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class NoTrace final : public ostrel::sensors::TraceSink {
 public:
  void Write(std::string_view) noexcept override {}
};

}  // namespace

int main(int argc, char** argv) {
  const long passes = argc > 1 ? std::atol(argv[1]) : 2000;
  const auto lib = sensorlib::LinkedEntryPoints();
  if (lib.init(ostrel::sensors::kInitFlags) != 0) return 1;
  std::printf("%d items\n", lib.hardware_count());
  double start = CpuSeconds();
  for (long i = 0; i < passes; ++i) lib.update();
  std::printf("SensorUpdate: %.1f us CPU\n", (CpuSeconds() - start) / static_cast<double>(passes) * 1e6);
  NoTrace trace;
  start = CpuSeconds();
  for (long i = 0; i < passes; ++i) ostrel::sensors::RunReadPass(lib, trace, nullptr);
  std::printf("read pass: %.1f us CPU\n", (CpuSeconds() - start) / static_cast<double>(passes) * 1e6);
  return 0;
}
