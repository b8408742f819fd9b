#include "tests/daemon/daemon_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace ostrel::daemon::testing {

std::filesystem::path BinDir() { return OSTREL_TEST_BIN_DIR; }
std::filesystem::path SimDir() { return OSTREL_TEST_SIM_DIR; }

int RunOstrelctl(const std::string& command, std::string& output) {
  return RunCaptured((BinDir() / "ostrelctl").string() + " " + command, output);
}

int RunCaptured(const std::string& command_line, std::string& output) {
  output.clear();
  const std::string line = command_line + " 2>&1";
  FILE* pipe = ::popen(line.c_str(), "r");
  if (!pipe) return -1;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

DaemonProcess::DaemonProcess(const DaemonEnvironment& environment, std::vector<std::string> args,
                             std::filesystem::path stderr_file)
    : stderr_file_(std::move(stderr_file)) {
  const std::string program = (BinDir() / "ostreld").string();
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable) {
    const std::string text = *variable;
    if (text.starts_with("LD_LIBRARY_PATH=") || text.starts_with("NOTIFY_SOCKET=") ||
        text.starts_with("UDEVSIM_SOCKET=")) {
      continue;
    }
    variables.push_back(text);
  }
  variables.push_back("LD_LIBRARY_PATH=" + (SimDir() / "hidsim").string() + ":" +
                      (SimDir() / "udevsim").string());
  variables.push_back("OSTREL_SYSFS_ROOT=" + environment.sysfs_root.string());
  variables.push_back("HIDSIM_CONFIG=" + environment.hidsim_config.string());
  variables.push_back("HIDSIM_LOG=" + environment.hidsim_log.string());
  if (!environment.udev_socket.empty())
    variables.push_back("UDEVSIM_SOCKET=" + environment.udev_socket.string());
  if (!environment.notify_socket.empty()) {
    variables.push_back("NOTIFY_SOCKET=" + environment.notify_socket.string());
  }
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (auto& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  const int err = ::open(stderr_file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  started_ = std::chrono::steady_clock::now();
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(err, 2);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(err);
}

DaemonProcess::~DaemonProcess() {
  if (pid_ > 0 && !exit_) {
    ::kill(pid_, SIGKILL);
    WaitExit(std::chrono::seconds(5));
  }
}

void DaemonProcess::Signal(int signal) const { ::kill(pid_, signal); }

std::optional<int> DaemonProcess::WaitExit(std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (!exit_) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return exit_;
}

std::string DaemonProcess::Stderr() const {
  std::ifstream in(stderr_file_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace ostrel::daemon::testing
