// What `ostrelctl run` waits on between its looks at the worker: a stop
// asked by the user (Ctrl+C, SIGTERM) and the device notifications that
// queue rescans. run_watch_win.cpp: console handler and a message-only
// window; run_watch_linux.cpp: the signals through a descriptor.
#pragma once

#include <cstdint>
#include <memory>

#include "device/worker/thread_basic.h"

namespace ostrelctl {

class RunWatch {
 public:
  // Made before the worker starts (on Linux the worker inherits the signal
  // mask); rescans go to worker.
  explicit RunWatch(ostrel::device::CThreadBasic& worker);
  ~RunWatch();
  RunWatch(const RunWatch&) = delete;
  RunWatch& operator=(const RunWatch&) = delete;

  // Waits up to ms, handling what arrives; true once a stop was asked.
  bool Wait(std::uint32_t ms);
  const char* StopHint() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ostrelctl
