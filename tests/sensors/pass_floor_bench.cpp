// The floor under one pass of ostreld: its system calls alone. Opens every
// value file of a host tree once (as the hwmon source keeps them), then per
// pass reads each from offset 0 with pread, plus /proc/stat's head, and
// writes one 65-byte report (to /dev/null, standing in for the display's
// feature report). Run by hand, not by ctest:
//
//   g++ -O2 -std=c++20 tests/sensors/pass_floor_bench.cpp -o /tmp/pass_floor
//   /tmp/pass_floor <tree> [passes]
//
// It prints the files read and the CPU time per pass (user + system).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool IsValueFile(const std::string& name) {
  return (name.ends_with("_input") &&
          (name.starts_with("temp") || name.starts_with("in") || name.starts_with("fan") ||
           name.starts_with("freq"))) ||
         name == "gpu_busy_percent";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pass_floor <tree> [passes]\n");
    return 2;
  }
  const std::filesystem::path tree = argv[1];
  const long passes = argc > 2 ? std::atol(argv[2]) : 100000;
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
    for (int fd : files) {
      if (::pread(fd, buffer, sizeof buffer, 0) < 0) return 1;
    }
    if (::write(report, bytes, sizeof bytes) != sizeof bytes) return 1;
  }
  const double per_pass = (CpuSeconds() - start) / static_cast<double>(passes);
  std::printf("%zu files + 1 report: %.2f us CPU per pass = %.5f %% of a core at one pass a second\n",
              files.size(), per_pass * 1e6, per_pass * 100);
  return 0;
}
