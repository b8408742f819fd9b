#include "device/worker/thread_basic.h"

#include <chrono>

#include "common/swallowed_failure.h"
#include "device/worker/worker_task.h"

namespace ostrel::device {
namespace {

constexpr std::chrono::milliseconds kStopWait{1000};
constexpr std::int32_t kLoopIntervalMs = 16;

std::uint32_t TickCount() noexcept {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

CThreadBasic::~CThreadBasic() { StopWorker(); }

unsigned CThreadBasic::ThreadProc(void* thread) noexcept {
  auto* self = static_cast<CThreadBasic*>(thread);
  const std::uint32_t start_tick = self->m_start_tick;
  auto run_once = [self]() noexcept {
    try {
      self->Run();
    } catch (...) {
      OSTREL_REPORT_CAUGHT();
      // One failed iteration must not end the worker.
    }
  };
  if (self->m_loop_mode == 0) {
    run_once();
  } else {
    while (self->m_running.load() != 0) {
      run_once();
      std::this_thread::sleep_for(std::chrono::milliseconds(self->m_interval));
    }
  }
  // Announced under the lock: the waiter cannot return, and the object cannot
  // go, before this thread has let go of it.
  const std::lock_guard lock(self->m_state_lock);
  self->m_finished = true;
  self->m_state_changed.notify_all();
  return start_tick;
}

void CThreadBasic::StartWorker() noexcept {
  if (m_running.load() != 0) return;
  m_interval = kLoopIntervalMs;
  m_loop_mode = 1;
  m_start_tick = TickCount();
  // Queued before the thread exists: a thread that got going first would
  // find the queue empty and run an update step ahead of the first scan.
  PostTask(static_cast<std::int32_t>(WorkerTask::CheckSoftwareAtStart));
  PostTask(static_cast<std::int32_t>(WorkerTask::RefreshDevices));
  PostTask(static_cast<std::int32_t>(WorkerTask::CheckFirmwareAtStart));
  {
    const std::lock_guard lock(m_state_lock);
    m_finished = false;
    m_stop_asked = false;
    m_started = true;
  }
  m_running.store(1);
  try {
    m_thread = std::thread([this] { ThreadProc(this); });
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    m_running.store(0);
    const std::lock_guard lock(m_state_lock);
    m_finished = true;
    m_started = false;
  }
}

void CThreadBasic::StopWorker() noexcept {
  // A close and an install's exit may stop the worker from two threads at
  // once: the second waits for the first, then finds the loop gone, so the
  // thread is joined once and neither returns while it still runs.
  const std::lock_guard stopping(m_stop_lock);
  if (m_running.load() == 0) return;
  m_running.store(0);
  std::unique_lock lock(m_state_lock);
  m_stop_asked = true;
  m_state_changed.notify_all();
  if (!m_state_changed.wait_for(lock, kStopWait, [this] { return m_finished; })) {
    m_state_changed.wait(lock, [this] { return m_finished; });
  }
  m_started = false;
  lock.unlock();
  // The thread has left the loop; this only collects it.
  if (m_thread.joinable()) m_thread.join();
}

bool CThreadBasic::WaitForStop(std::uint32_t ms) const noexcept {
  std::unique_lock lock(m_state_lock);
  if (!m_started) {
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return false;
  }
  return m_state_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop_asked; });
}

void CThreadBasic::PostTask(std::int32_t code) noexcept {
  try {
    const std::lock_guard lock(m_queue_lock);
    m_queue.push_back(code);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    // Out of memory: the command is lost, as a failed post would be.
  }
}

std::optional<std::int32_t> CThreadBasic::TakeTask() noexcept {
  const std::lock_guard lock(m_queue_lock);
  if (m_queue.empty()) return std::nullopt;
  const std::int32_t code = m_queue.front();
  m_queue.pop_front();
  return code;
}

std::size_t CThreadBasic::PendingTasks() const noexcept {
  const std::lock_guard lock(m_queue_lock);
  return m_queue.size();
}

}  // namespace ostrel::device
