#include "ui/update_hand_over.h"

#include <cstdlib>

#include "common/swallowed_failure.h"
#include "device/hid/hid_device_manager.h"
#include "update/live_jobs.h"

namespace ostrel::ui {
namespace {

// The worker answers at its next iteration, about a second away at most;
// longer means it is stuck, and the check goes on as with no display.
constexpr std::chrono::milliseconds kDisplayAnswerLimit{5000};
// Shutdown gives the task in progress this long; a version fetch that is
// still waiting on the network is left to its own deadline, and the exit's
// wait for transfers bounds the rest.
constexpr std::chrono::milliseconds kStopWait{500};

device::WorkerVersionQuery::Answer AskFirstDisplay() {
  std::uint16_t version = 0;
  if (!device::CHidDeviceManager::Instance().QueryVersion(version)) return std::nullopt;
  return version;
}

}  // namespace

void UpdateHandOver::Start(update::UpdateHost host, std::function<void()> stop_worker) noexcept {
  try {
    auto query = std::make_shared<device::WorkerVersionQuery>(&AskFirstDisplay);
    host.query_firmware = [query] { return query->Ask(kDisplayAnswerLimit); };
    if (!host.end_process) {
      host.end_process = [stop_worker = std::move(stop_worker)] {
        if (stop_worker) stop_worker();
        update::WaitForLiveJobsAtExit();
        std::exit(0);
      };
    }
    auto service = std::make_shared<update::UpdateService>(std::move(host));
    thread_ = std::make_unique<device::UpdateThread>(service);
    query_ = std::move(query);
    service_ = std::move(service);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

std::wstring UpdateHandOver::LatestVersion(update::Channel channel) const {
  return service_ ? service_->LatestVersion(channel) : std::wstring();
}

void UpdateHandOver::Stop() noexcept {
  // The dialog stops twice (StopWorker, then its destructor): the bounded
  // wait is spent once.
  if (stopped_) return;
  stopped_ = true;
  if (query_) query_->Close();
  // The thread itself stays: the worker still holds it until it has stopped.
  if (!thread_) return;
  update::UpdateService* const service = service_.get();
  thread_->Stop(kStopWait, [service] {
    if (service) service->Fetcher().keep_going.store(0);
  });
}

}  // namespace ostrel::ui
