#include "device/worker/thread_basic.h"

#include <process.h>

#include "common/swallowed_failure.h"
#include "device/worker/worker_task.h"

namespace ostrel::device {
namespace {

constexpr DWORD kStopWaitMs = 1000;
constexpr std::int32_t kLoopIntervalMs = 16;

}  // namespace

CThreadBasic::~CThreadBasic() { StopWorker(); }

unsigned __stdcall CThreadBasic::ThreadProc(void* thread) noexcept {
  auto* self = static_cast<CThreadBasic*>(thread);
  // Read before the event is signalled: after that the object may be gone.
  const std::uint32_t start_tick = self->m_start_tick;
  const HANDLE finished = self->m_finished.get();
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
      ::Sleep(static_cast<DWORD>(self->m_interval));
    }
  }
  ::SetEvent(finished);
  return start_tick;
}

void CThreadBasic::StartWorker() noexcept {
  if (m_running.load() != 0) return;
  m_interval = kLoopIntervalMs;
  m_loop_mode = 1;
  m_start_tick = ::GetTickCount();
  // Queued before the thread exists: a thread that got going first would
  // find the queue empty and run an update step ahead of the first scan.
  PostTask(static_cast<std::int32_t>(WorkerTask::CheckSoftwareAtStart));
  PostTask(static_cast<std::int32_t>(WorkerTask::RefreshDevices));
  PostTask(static_cast<std::int32_t>(WorkerTask::CheckFirmwareAtStart));
  m_finished.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  m_stop_asked.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  // Without the events StopWorker could not know when the thread is done
  // with this object, so no thread is started.
  if (!m_finished || !m_stop_asked) {
    m_finished.reset();
    m_stop_asked.reset();
    return;
  }
  m_running.store(1);
  const win::unique_handle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &CThreadBasic::ThreadProc, this, 0, nullptr)));
  if (!thread) {
    m_running.store(0);
    m_finished.reset();
    m_stop_asked.reset();
  }
}

void CThreadBasic::StopWorker() noexcept {
  if (m_running.load() == 0) return;
  m_running.store(0);
  ::SetEvent(m_stop_asked.get());
  if (::WaitForSingleObject(m_finished.get(), kStopWaitMs) == WAIT_TIMEOUT) {
    ::WaitForSingleObject(m_finished.get(), INFINITE);
  }
  m_finished.reset();
  m_stop_asked.reset();
}

bool CThreadBasic::WaitForStop(std::uint32_t ms) const noexcept {
  if (!m_stop_asked) {
    ::Sleep(ms);
    return false;
  }
  return ::WaitForSingleObject(m_stop_asked.get(), ms) == WAIT_OBJECT_0;
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
