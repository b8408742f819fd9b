#include "device/thread_basic.h"

#include <process.h>

#include "common/swallowed_failure.h"
#include "device/worker_task.h"

namespace ostrel::device {
namespace {

constexpr DWORD kStopWaitMs = 1000;
constexpr std::int32_t kLoopIntervalMs = 16;

}  // namespace

CThreadBasic::~CThreadBasic() { StopWorker(); }

unsigned __stdcall CThreadBasic::ThreadProc(void* thread) noexcept {
  auto* self = static_cast<CThreadBasic*>(thread);
  // Read before the event is signalled: after that the object may be gone.
  const std::uint32_t start_tick = self->start_tick_;
  const HANDLE finished = self->finished_.get();
  auto run_once = [self]() noexcept {
    try {
      self->Run();
    } catch (...) {
      ::ostrel::ReportSwallowed("device/thread_basic.cpp CThreadBasic::ThreadProc");
      // One failed iteration must not end the worker.
    }
  };
  if (self->loop_mode_ == 0) {
    run_once();
  } else {
    while (self->running_.load() != 0) {
      run_once();
      ::Sleep(static_cast<DWORD>(self->interval_));
    }
  }
  ::SetEvent(finished);
  return start_tick;
}

void CThreadBasic::StartWorker() noexcept {
  if (running_.load() != 0) return;
  interval_ = kLoopIntervalMs;
  loop_mode_ = 1;
  start_tick_ = ::GetTickCount();
  // Queued before the thread exists: a thread that got going first would
  // find the queue empty and run an update step ahead of the first scan.
  PostTask(static_cast<std::int32_t>(WorkerTask::CheckSoftwareAtStart));
  PostTask(static_cast<std::int32_t>(WorkerTask::RefreshDevices));
  PostTask(static_cast<std::int32_t>(WorkerTask::CheckFirmwareAtStart));
  finished_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  stop_asked_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  // Without the events StopWorker could not know when the thread is done
  // with this object, so no thread is started.
  if (!finished_ || !stop_asked_) {
    finished_.reset();
    stop_asked_.reset();
    return;
  }
  running_.store(1);
  const win::unique_handle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &CThreadBasic::ThreadProc, this, 0, nullptr)));
  if (!thread) {
    running_.store(0);
    finished_.reset();
    stop_asked_.reset();
  }
}

void CThreadBasic::StopWorker() noexcept {
  if (running_.load() == 0) return;
  running_.store(0);
  ::SetEvent(stop_asked_.get());
  if (::WaitForSingleObject(finished_.get(), kStopWaitMs) == WAIT_TIMEOUT) {
    ::WaitForSingleObject(finished_.get(), INFINITE);
  }
  finished_.reset();
  stop_asked_.reset();
}

bool CThreadBasic::WaitForStop(std::uint32_t ms) const noexcept {
  if (!stop_asked_) {
    ::Sleep(ms);
    return false;
  }
  return ::WaitForSingleObject(stop_asked_.get(), ms) == WAIT_OBJECT_0;
}

void CThreadBasic::PostTask(std::int32_t code) noexcept {
  try {
    const std::lock_guard lock(queue_lock_);
    queue_.push_back(code);
  } catch (...) {
    ::ostrel::ReportSwallowed("device/thread_basic.cpp CThreadBasic::PostTask");
    // Out of memory: the command is lost, as a failed post would be.
  }
}

std::optional<std::int32_t> CThreadBasic::TakeTask() noexcept {
  const std::lock_guard lock(queue_lock_);
  if (queue_.empty()) return std::nullopt;
  const std::int32_t code = queue_.front();
  queue_.pop_front();
  return code;
}

std::size_t CThreadBasic::PendingTasks() const noexcept {
  const std::lock_guard lock(queue_lock_);
  return queue_.size();
}

}  // namespace ostrel::device
