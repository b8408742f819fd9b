// The update service as the main dialog plugs it into its worker: the
// commands 3 to 8 go to the update thread, and the firmware check asks the
// display through the worker, which answers between two update steps.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "device/worker/update_thread.h"
#include "device/worker/worker_version_query.h"
#include "update/update_service.h"

namespace ostrel::ui {

class UpdateHandOver {
 public:
  UpdateHandOver() = default;
  UpdateHandOver(const UpdateHandOver&) = delete;
  UpdateHandOver& operator=(const UpdateHandOver&) = delete;
  ~UpdateHandOver() { Stop(); }

  // Builds the service (its firmware query goes through the worker) and
  // starts the update thread. An install that started its program ends
  // this process from the update thread: `stop_worker` runs first, so the
  // process is not torn down under a worker still talking to a display.
  void Start(update::UpdateHost host, std::function<void()> stop_worker) noexcept;
  // Where the worker hands the update commands; null before Start.
  device::UpdateTaskRunner* Tasks() noexcept { return thread_.get(); }
  std::wstring LatestVersion(update::Channel channel) const;

  // On the worker, between two update steps.
  void ServeWorker() noexcept {
    if (query_) query_->Serve();
  }
  // Before the worker stops: a download ends after its current read, a
  // waiting display question gets "no device", and the task in progress is
  // waited for a bounded time.
  void Stop() noexcept;

 private:
  std::shared_ptr<device::WorkerVersionQuery> query_;
  std::shared_ptr<update::UpdateService> service_;
  std::unique_ptr<device::UpdateThread> thread_;
  bool stopped_ = false;
};

}  // namespace ostrel::ui
