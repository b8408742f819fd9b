// The worker thread and its command queue. A derived class supplies Run, the
// work of one iteration, and must call StopWorker before it is destroyed: the
// thread calls Run on it until then. Plain C++ threads, so that the Windows
// program and the Linux daemon run one loop.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace ostrel::device {

class CThreadBasic {
 public:
  CThreadBasic(const CThreadBasic&) = delete;
  CThreadBasic& operator=(const CThreadBasic&) = delete;

  virtual void Run() = 0;

  // The thread's body; returns the start tick.
  static unsigned ThreadProc(void* thread) noexcept;

  // Unless the loop runs already: queues the start-up commands 5, 1 and 6,
  // then starts the loop (16 ms pause after each Run).
  void StartWorker() noexcept;
  // Asks the loop to end and waits up to 1000 ms for it. A worker still
  // inside a long step after that (a download) is waited for until it is
  // done: it still uses this object and whatever its Run reaches. The main
  // dialog's own StopWorker calls this one before it takes its window down.
  void StopWorker() noexcept;
  bool IsRunning() const noexcept { return m_running.load() != 0; }
  // Waits up to `ms`, cut short once StopWorker has been asked; true when it
  // was. Outside a running loop it only sleeps.
  bool WaitForStop(std::uint32_t ms) const noexcept;

  // Appends a command code; any thread.
  void PostTask(std::int32_t code) noexcept;
  // Removes the code at the front; the worker side of the queue.
  std::optional<std::int32_t> TakeTask() noexcept;
  std::size_t PendingTasks() const noexcept;

 protected:
  CThreadBasic() noexcept = default;
  // Not virtual: derived objects are destroyed as themselves. Backstop only;
  // by now the derived part is gone, so derived classes stop the worker in
  // their own destructors.
  ~CThreadBasic();

 private:
  // Both guarded by m_state_lock; m_state_changed announces either.
  bool m_finished = true;
  bool m_stop_asked = false;
  bool m_started = false;  // a loop was started and not yet stopped
  mutable std::mutex m_state_lock;
  std::mutex m_stop_lock;  // one StopWorker at a time
  mutable std::condition_variable m_state_changed;
  std::thread m_thread;
  std::atomic<std::int32_t> m_running{0};
  std::int32_t m_loop_mode = 0;
  std::int32_t m_interval = 1;
  std::uint32_t m_start_tick = 0;
  mutable std::mutex m_queue_lock;
  std::deque<std::int32_t> m_queue;
};

}  // namespace ostrel::device
