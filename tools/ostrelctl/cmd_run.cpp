// ostrelctl run [--seconds N] [--trace]: the program's job without the
// panel. The same worker as the main dialog's (start-up rescan, then one
// update step a second), with a message-only window for device arrival and
// removal. The sensor trace lines (a few per reading, every second) show only
// with --trace.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/worker/console_worker.h"
#include "tools/ostrelctl/command.h"
#include "tools/ostrelctl/run_watch.h"

namespace ostrelctl {
namespace {

class PrintedTemperature final : public ostrel::device::TemperatureView {
 public:
  void ShowCpuTemperature(int value) noexcept override {
    if (value == ostrel::device::kNoCpuTemperature) {
      std::printf("CPU --\n");
    } else {
      std::printf("CPU %d\n", value);
    }
  }
};

class PrintedDisplayStatus final : public ostrel::device::DisplayStatusView {
 public:
  void DisplaysFailed(int failed) noexcept override {
    std::printf("display failed: %d display(s) refused the report; rescanning\n", failed);
  }
  void DisplaysReopened(int open) noexcept override { std::printf("display reopened: %d open\n", open); }
};

class QuietTrace final : public ostrel::sensors::TraceSink {
 public:
  void Write(std::string_view) noexcept override {}
};

// 0 means until stopped; -1 for a bad command line.
long long ParseSeconds(Args args) {
  if (args.empty()) return 0;
  if (args.size() != 2 || args[0] != "--seconds") return -1;
  const std::string text(args[1]);
  char* end = nullptr;
  const long long seconds = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || end != text.c_str() + text.size() || seconds < 1 || seconds > 100LL * 365 * 24 * 3600) {
    return -1;
  }
  return seconds;
}

}  // namespace

int RunRun(Args all_args) {
  std::vector<std::string_view> args(all_args.begin(), all_args.end());
  const auto trace_flag = std::find(args.begin(), args.end(), "--trace");
  const bool trace = trace_flag != args.end();
  if (trace) args.erase(trace_flag);
  const long long seconds = ParseSeconds(args);
  if (seconds < 0) {
    std::fprintf(stderr,
                 "usage: ostrelctl run [--seconds N] [--trace]   (N a whole number of seconds, 1 or more)\n");
    return 2;
  }
  PrintedTemperature printed;
  QuietTrace quiet;
  ostrel::device::DeviceWorker worker;
  worker.Work().SetView(&printed);
  PrintedDisplayStatus status;
  worker.Work().SetStatusView(&status);
  if (!trace) worker.Work().Sensors().SetTraceSink(&quiet);
  RunWatch watch(worker);
  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  const auto deadline = seconds ? started + std::chrono::seconds(seconds) : Clock::time_point::max();
  worker.StartWorker();
  std::printf("worker started; %s\n", seconds ? "stops after the given time" : watch.StopHint());

  int shown_count = -1;
  for (;;) {
    const int count = ostrel::device::CHidDeviceManager::Instance().DeviceCount();
    if (count != shown_count) {
      std::printf("displays: %d\n", count);
      shown_count = count;
    }
    const auto now = Clock::now();
    if (now >= deadline) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    if (watch.Wait(static_cast<std::uint32_t>(std::min<long long>(left + 1, 250)))) break;
  }
  // The worker finishes its current step (at most the update pause) first.
  worker.StopWorker();
  std::printf("stopped after %.1f s\n", std::chrono::duration<double>(Clock::now() - started).count());
  return 0;
}

}  // namespace ostrelctl
