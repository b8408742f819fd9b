// The update checks and installs (command codes 3 to 8) run here; the worker
// hands them over one at a time, on its own thread.
#pragma once

#include "device/worker/worker_task.h"

namespace ostrel::device {

class UpdateTaskRunner {
 public:
  virtual void RunUpdateTask(WorkerTask task) noexcept = 0;

 protected:
  ~UpdateTaskRunner() = default;
};

}  // namespace ostrel::device
