// ostreld run as a child process, as systemd or a user starts it: with a
// fake sysfs tree, the display simulator and the udev stand-in in front of
// the system's libraries, its standard error kept in a file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::daemon::testing {

struct DaemonEnvironment {
  std::filesystem::path sysfs_root;
  std::filesystem::path hidsim_config;
  std::filesystem::path hidsim_log;
  std::filesystem::path udev_socket;    // empty: no udev monitor can be made
  std::filesystem::path notify_socket;  // empty: not under systemd
};

class DaemonProcess {
 public:
  DaemonProcess(const DaemonEnvironment& environment, std::vector<std::string> args,
                std::filesystem::path stderr_file);
  ~DaemonProcess();  // kills a daemon still running
  DaemonProcess(const DaemonProcess&) = delete;
  DaemonProcess& operator=(const DaemonProcess&) = delete;

  pid_t Pid() const { return pid_; }
  std::chrono::steady_clock::time_point Started() const { return started_; }
  void Signal(int signal) const;
  // The exit code once it ended within the time (-signal when a signal
  // ended it); nothing while it still runs.
  std::optional<int> WaitExit(std::chrono::milliseconds within);
  std::string Stderr() const;

 private:
  pid_t pid_ = -1;
  std::optional<int> exit_;
  std::chrono::steady_clock::time_point started_;
  std::filesystem::path stderr_file_;
};

// A command line's exit code, its standard output and error kept.
int RunCaptured(const std::string& command_line, std::string& output);
// ostrelctl <command> beside the daemon.
int RunOstrelctl(const std::string& command, std::string& output);

std::filesystem::path BinDir();
std::filesystem::path SimDir();

}  // namespace ostrel::daemon::testing
