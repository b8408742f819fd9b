// ostreld: the engine of Ostrel.exe as a Linux daemon. It runs in the
// foreground and logs to standard error, for systemd (Type=notify) or a
// terminal. The worker is the Windows program's, started the same way:
// start-up rescan, then one update step a second (read, publish the block,
// send to every display). This thread only waits: for signals and for udev's
// hidraw events, which it turns into rescans.
//
// Exit codes: 0 stopped by SIGTERM or SIGINT; 1 cannot run (the block is
// another daemon's or another user's); 2 bad command line or configuration.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <systemd/sd-daemon.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "common/printable.h"
#include "daemon/config_file_posix.h"
#include "daemon/udev_watch_linux.h"
#include "device/worker/console_worker.h"
#include "device/worker/worker_task.h"
#include "sensorlib/linked_entry_points.h"

namespace ostrel::daemon {
namespace {

[[gnu::format(printf, 1, 2)]] void Log(const char* format, ...) noexcept {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "ostreld: %s\n", line);
}

void ApplyCpuSensor(const std::string& choice) noexcept {
  std::string why;
  if (sensorlib::SetCpuSensorChoice(choice, why)) {
    if (!choice.empty()) Log("cpu_sensor %s", Printable(choice).c_str());
    return;
  }
  Log("cpu_sensor \"%s\" ignored: %s; the automatic choice applies", Printable(choice).c_str(),
      Printable(why).c_str());
}

class QuietTrace final : public sensors::TraceSink {
 public:
  void Write(std::string_view) noexcept override {}
};

// Called by the worker after each read pass: the heartbeat systemd watches,
// and the place where a re-read configuration takes effect, between passes.
class Heartbeat final : public device::TemperatureView, public device::DisplayStatusView {
 public:
  void ShowCpuTemperature(int value) noexcept override {
    if (!ready_.exchange(true)) {
      Log("first pass done: CPU %d, %d display(s)", value,
          device::CHidDeviceManager::Instance().DeviceCount());
      sd_notify(0, "READY=1");
    }
    sd_notify(0, "WATCHDOG=1");
    std::optional<std::string> choice;
    {
      const std::lock_guard lock(lock_);
      choice.swap(pending_choice_);
    }
    if (choice) ApplyCpuSensor(*choice);
  }
  void DisplaysFailed(int failed) noexcept override {
    Log("%d display(s) refused the report; rescanning", failed);
  }
  void DisplaysReopened(int open) noexcept override { Log("display(s) back: %d open", open); }

  void ChooseCpuSensor(std::string choice) noexcept {
    const std::lock_guard lock(lock_);
    pending_choice_ = std::move(choice);
  }

 private:
  std::atomic<bool> ready_{false};
  std::mutex lock_;
  std::optional<std::string> pending_choice_;
};

struct Options {
  std::string config_path = kDefaultConfigPath;
};

void Usage(std::FILE* out) { std::fprintf(out, "usage: ostreld [--config FILE]\n"); }

// Nothing: exit with *code.
std::optional<Options> ParseArgs(int argc, char** argv, int& code) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--config" && i + 1 < argc) {
      options.config_path = argv[++i];
    } else if (arg.starts_with("--config=")) {
      options.config_path = std::string(arg.substr(9));
    } else if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      code = 0;
      return std::nullopt;
    } else {
      std::fprintf(stderr, "ostreld: unknown argument \"%s\"\n", Printable(arg).c_str());
      Usage(stderr);
      code = 2;
      return std::nullopt;
    }
  }
  return options;
}

std::optional<DaemonConfig> ReadConfig(const std::string& path) {
  ConfigLoad load = LoadDaemonConfig(path);
  if (!load.config) {
    Log("%s", load.error.c_str());
    return std::nullopt;
  }
  if (load.missing) Log("no configuration at %s: the defaults apply", Printable(path).c_str());
  return load.config;
}

int Serve(const Options& options) {
  std::optional<DaemonConfig> config = ReadConfig(options.config_path);
  if (!config) return 2;

  // Blocked before any thread starts, so that every thread inherits the mask
  // and the signals arrive only through the descriptor.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);
  if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) {
    Log("cannot block signals");
    return 1;
  }
  const int signal_fd = ::signalfd(-1, &signals, SFD_CLOEXEC);
  if (signal_fd < 0) {
    Log("signalfd: %s", std::strerror(errno));
    return 1;
  }

  QuietTrace quiet;
  Heartbeat heartbeat;
  device::DeviceWorker worker;
  worker.Work().SetUpdatePause(&device::DeviceWork::PauseUntilStop);
  worker.Work().SetView(&heartbeat);
  worker.Work().SetStatusView(&heartbeat);
  worker.Work().Sensors().SetTraceSink(&quiet);
  // Claimed before anything runs: one daemon per block, and a second start
  // must say so rather than run without one.
  if (!worker.Work().Sensors().MapHardwareBlock()) {
    const std::string& why = worker.Work().Sensors().BlockRefusal();
    if (worker.Work().Sensors().BlockBusy()) {
      Log("already running: %s", why.c_str());
    } else {
      Log("%s", why.c_str());
    }
    ::close(signal_fd);
    return 1;
  }
  ApplyCpuSensor(config->cpu_sensor);

  std::string no_udev;
  const std::unique_ptr<UdevWatch> udev = UdevWatch::Open(no_udev);
  if (!udev) Log("%s: rescans every 10 s while no display is open", no_udev.c_str());

  worker.StartWorker();
  Log("started (pid %d)", static_cast<int>(::getpid()));

  for (;;) {
    pollfd fds[2] = {{signal_fd, POLLIN, 0}, {udev ? udev->Fd() : -1, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      Log("poll: %s", std::strerror(errno));
      break;
    }
    if (fds[1].revents & POLLIN && udev->TakeNodeChanges()) {
      worker.PostTask(static_cast<std::int32_t>(device::WorkerTask::RefreshDevices));
    }
    if (!(fds[0].revents & POLLIN)) continue;
    signalfd_siginfo info{};
    if (::read(signal_fd, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) continue;
    if (info.ssi_signo == SIGHUP) {
      Log("SIGHUP: reading %s again", Printable(options.config_path).c_str());
      // A bad file keeps the configuration in force.
      if (std::optional<DaemonConfig> again = ReadConfig(options.config_path)) {
        heartbeat.ChooseCpuSensor(again->cpu_sensor);
      }
      continue;
    }
    Log("%s: stopping", info.ssi_signo == SIGTERM ? "SIGTERM" : "SIGINT");
    break;
  }
  sd_notify(0, "STOPPING=1");
  // The worker ends its current step (the update pause is cut short); the
  // block goes with the worker's sensor state.
  worker.StopWorker();
  ::close(signal_fd);
  return 0;
}

}  // namespace
}  // namespace ostrel::daemon

int main(int argc, char** argv) {
  // Log lines reach a pipe (the journal) whole and at once; a reader of that
  // pipe that goes away must not end the daemon.
  std::setvbuf(stderr, nullptr, _IOLBF, 0);
  ::signal(SIGPIPE, SIG_IGN);
  try {
    int code = 0;
    const auto options = ostrel::daemon::ParseArgs(argc, argv, code);
    if (!options) return code;
    return ostrel::daemon::Serve(*options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ostreld: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "ostreld: unexpected failure\n");
  }
  return 1;
}
