#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "tools/ostrelctl/run_watch.h"

namespace ostrelctl {

// No udev monitor here: the worker's own rescans find displays that come
// and go, as they do in containers.
struct RunWatch::State {
  int signal_fd = -1;
  sigset_t previous{};
};

RunWatch::RunWatch(ostrel::device::CThreadBasic&) : state_(std::make_unique<State>()) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &signals, &state_->previous);
  state_->signal_fd = ::signalfd(-1, &signals, SFD_CLOEXEC);
}

RunWatch::~RunWatch() {
  if (state_->signal_fd >= 0) ::close(state_->signal_fd);
  ::pthread_sigmask(SIG_SETMASK, &state_->previous, nullptr);
}

bool RunWatch::Wait(std::uint32_t ms) {
  pollfd fd{state_->signal_fd, POLLIN, 0};
  return ::poll(&fd, 1, static_cast<int>(ms)) > 0 && (fd.revents & POLLIN);
}

const char* RunWatch::StopHint() const { return "Ctrl+C or SIGTERM stops it"; }

}  // namespace ostrelctl
