// What one of ostreld's passes costs in the sensor code, on a tree under
// OSTREL_SYSFS_ROOT: the floor (the pass's system calls alone: a pread of
// each value file kept open, of /proc/stat, and one 65-byte report written
// to /dev/null in place of the display's), SensorUpdate (the reads of the
// tree), and the program's whole read pass (the update and the walk over
// every item's 512 slots). Run by hand, not by ctest, against the linux
// preset's libraries:
//
//   g++ -O2 -std=c++20 -I. tests/sensors/linked_pass_bench.cpp
//     build-linux/sensorlib/libsensorlib_linked.a build-linux/sensorlib/libsensorlib_core.a
//     build-linux/sensors/libostrel_sensor_rules.a -ldl -o /tmp/linked_pass_bench
// (one command line)
//   OSTREL_SYSFS_ROOT=<tree> /tmp/linked_pass_bench [passes]
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sensorlib/linked_entry_points.h"
#include "sensors/read_pass.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool IsValueFile(const std::string& name) {
  return (name.ends_with("_input") && (name.starts_with("temp") || name.starts_with("in") ||
                                       name.starts_with("fan") || name.starts_with("freq"))) ||
         name == "gpu_busy_percent";
}

void Floor(const std::filesystem::path& tree, long passes) {
  std::vector<int> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(tree / "sys/class/hwmon")) {
    if (entry.is_regular_file() && IsValueFile(entry.path().filename().string())) {
      files.push_back(::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC));
    }
  }
  files.push_back(::open((tree / "proc/stat").c_str(), O_RDONLY | O_CLOEXEC));
  const int report = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  char buffer[1024];
  const char bytes[65] = {0, 7, 0x7f, 0x7f};
  const double start = CpuSeconds();
  for (long pass = 0; pass < passes; ++pass) {
    for (int fd : files) (void)::pread(fd, buffer, sizeof buffer, 0);
    (void)::write(report, bytes, sizeof bytes);
  }
  std::printf("floor, %zu preads and 1 write: %.1f us CPU\n", files.size(),
              (CpuSeconds() - start) / static_cast<double>(passes) * 1e6);
  for (int fd : files) ::close(fd);
  ::close(report);
}

class NoTrace final : public ostrel::sensors::TraceSink {
 public:
  void Write(std::string_view) noexcept override {}
};

}  // namespace

int main(int argc, char** argv) {
  const long passes = argc > 1 ? std::atol(argv[1]) : 2000;
  const char* tree = std::getenv("OSTREL_SYSFS_ROOT");
  if (!tree) {
    std::fprintf(stderr, "linked_pass_bench: OSTREL_SYSFS_ROOT names no tree\n");
    return 2;
  }
  Floor(tree, passes * 10);
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
