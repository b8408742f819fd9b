// The threads of blocking work that a caller may give up on. Such a thread
// can outlive its caller, and a process that ends while one is still inside
// the network library (or tearing itself down) may crash on the way out, so
// every such thread is started here, counted while it runs, and an orderly
// exit waits a bounded time for the count to reach zero.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace ostrel::update {

class LiveJobs {
 public:
  // The process-wide record. It is never destroyed: a job may end while
  // static objects are already being torn down.
  static LiveJobs& Process() noexcept;

  LiveJobs() = default;
  LiveJobs(const LiveJobs&) = delete;
  LiveJobs& operator=(const LiveJobs&) = delete;
  // Joins what has ended; a record with jobs still running must not be
  // destroyed (the process-wide one never is).
  ~LiveJobs();

  // Runs `body` on a thread of its own, counted as live until the body has
  // returned and everything it captured is gone. False when no thread could
  // be started (the body is then not run).
  bool Start(std::function<void()> body) noexcept;

  std::size_t Count() const noexcept;

  // Waits until no job is live or `limit` passes, whichever is first, and
  // joins the threads that have ended. True when none is live.
  bool WaitUntilNone(std::chrono::milliseconds limit) noexcept;

 private:
  struct Job {
    std::thread thread;
    bool ended = false;
  };
  void JoinEnded() noexcept;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::list<Job> jobs_;
  std::size_t live_ = 0;
};

// How long an orderly exit waits for jobs that were given up on.
inline constexpr std::chrono::milliseconds kExitJobWait{2500};

// For the ends of programs: waits up to `limit` for the process-wide jobs.
// True when none is left; an exit goes ahead either way.
bool WaitForLiveJobsAtExit(std::chrono::milliseconds limit = kExitJobWait) noexcept;

}  // namespace ostrel::update
