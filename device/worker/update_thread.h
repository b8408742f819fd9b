// The update commands (codes 3 to 8) on a thread of their own. A version
// fetch may wait out its whole deadline and a download may take minutes;
// on the worker either would hold the once-a-second update step, and the
// display would go dark because the network is slow. The worker hands a
// code over and goes on; the codes run one at a time, in the order they
// were handed over.
//
// A task stuck in the network is not waited for past a bound at shutdown:
// the thread holds the queue and the runner itself, so one given up on
// finishes by itself and reaches nothing its owner has freed.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "device/worker/update_task_runner.h"
#include "device/worker/worker_task.h"

namespace ostrel::device {

class UpdateThread final : public UpdateTaskRunner {
 public:
  // Starts the thread. Should none start, each task runs on the caller.
  explicit UpdateThread(std::shared_ptr<UpdateTaskRunner> tasks) noexcept;
  UpdateThread(const UpdateThread&) = delete;
  UpdateThread& operator=(const UpdateThread&) = delete;
  // Stops without waiting.
  ~UpdateThread();

  // Queues the code and returns at once; dropped once stopping.
  void RunUpdateTask(WorkerTask task) noexcept override;

  // Drops the codes not yet begun and waits up to `limit` for the task in
  // progress. `cancel` is called at once and about every 50 ms while
  // waiting: a transfer that sets its own flag again as it begins still
  // sees the request. True when the thread has ended.
  bool Stop(std::chrono::milliseconds limit, const std::function<void()>& cancel = {}) noexcept;

 private:
  struct State;
  static void Loop(std::shared_ptr<State> state) noexcept;

  std::shared_ptr<State> state_;
  bool threaded_ = false;  // set once, before any task comes
  std::thread thread_;
};

}  // namespace ostrel::device
