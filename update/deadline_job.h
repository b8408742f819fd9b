// Work that may block for longer than its caller can wait. The work runs on a
// thread of its own while the caller waits until it ends or a deadline
// passes. A job given up on finishes, or stays blocked, by itself: it owns
// everything it touches (its arguments were copied in, its result and its
// flag live in shared state), so nothing it does later reaches the caller.
//
// While waiting, the caller's keep-going flag is handed on to the job's own
// flag, so clearing it still stops the work at its next check. At the
// deadline the job's flag is cleared, so a job that is still making progress
// (following redirects, say) stops at its next check instead of going on for
// the life of the process, and `abandon` runs, which should make a job
// blocked in a call return (by closing the handles it is blocked on).
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "common/swallowed_failure.h"
#include "update/live_jobs.h"

namespace ostrel::update {

template <typename Result>
using DeadlineWork = std::function<Result(const std::atomic<int>& keep_going)>;

// Nothing when the deadline passed first, the work threw, or no thread could
// be started. `abandon` runs on the caller's thread, only when the deadline
// passed, and must not throw.
template <typename Result>
std::optional<Result> RunWithDeadline(DeadlineWork<Result> work, std::chrono::milliseconds limit,
                                      const std::atomic<int>& keep_going,
                                      std::function<void()> abandon = {}) noexcept {
  struct Shared {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::optional<Result> result;
    std::atomic<int> keep_going{1};
  };
  // How often the caller's flag is handed on while the job runs.
  constexpr std::chrono::milliseconds kFlagInterval{50};

  const auto deadline = std::chrono::steady_clock::now() + limit;
  try {
    auto shared = std::make_shared<Shared>();
    shared->keep_going.store(keep_going.load());
    const bool started = LiveJobs::Process().Start([shared, work = std::move(work)]() noexcept {
      std::optional<Result> result;
      try {
        result = work(shared->keep_going);
      } catch (...) {
        OSTREL_REPORT_CAUGHT();
      }
      {
        std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->done = true;
      }
      shared->ended.notify_all();
    });
    if (!started) return std::nullopt;

    std::unique_lock lock(shared->mutex);
    while (!shared->done) {
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline) {
        shared->keep_going.store(0);
        lock.unlock();
        if (abandon) abandon();
        return std::nullopt;
      }
      shared->keep_going.store(keep_going.load());
      shared->ended.wait_until(lock, std::min(deadline, now + kFlagInterval));
    }
    return std::move(shared->result);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return std::nullopt;
  }
}

}  // namespace ostrel::update
