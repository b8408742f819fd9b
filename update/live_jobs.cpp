#include "update/live_jobs.h"

#include <new>
#include <utility>
#include <vector>

#include "common/swallowed_failure.h"

namespace ostrel::update {

LiveJobs& LiveJobs::Process() noexcept {
  // Built in place and never destroyed, so a job thread that ends during
  // static destruction still finds its record.
  alignas(LiveJobs) static unsigned char storage[sizeof(LiveJobs)];
  static LiveJobs* const jobs = new (storage) LiveJobs();
  return *jobs;
}

LiveJobs::~LiveJobs() {
  JoinEnded();
  // A job still running keeps its thread joinable; leaving it would end the
  // process, so it is let go instead.
  for (Job& job : jobs_) {
    if (job.thread.joinable()) job.thread.detach();
  }
}

bool LiveJobs::Start(std::function<void()> body) noexcept {
  try {
    JoinEnded();
    std::unique_lock lock(mutex_);
    Job& job = jobs_.emplace_back();
    const auto entry = std::prev(jobs_.end());
    ++live_;
    try {
      job.thread = std::thread([this, entry, body = std::move(body)]() mutable noexcept {
        try {
          body();
        } catch (...) {
          OSTREL_REPORT_CAUGHT();
        }
        // What the body captured goes before the job counts as ended.
        body = nullptr;
        {
          const std::lock_guard ended(mutex_);
          entry->ended = true;
          --live_;
        }
        changed_.notify_all();
      });
    } catch (...) {
      jobs_.erase(entry);
      --live_;
      throw;
    }
    return true;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return false;
  }
}

std::size_t LiveJobs::Count() const noexcept {
  const std::lock_guard lock(mutex_);
  return live_;
}

bool LiveJobs::WaitUntilNone(std::chrono::milliseconds limit) noexcept {
  bool none = false;
  try {
    std::unique_lock lock(mutex_);
    none = changed_.wait_for(lock, limit, [this] { return live_ == 0; });
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
  JoinEnded();
  return none;
}

void LiveJobs::JoinEnded() noexcept {
  try {
    // Joined outside the lock: an ended thread still has its own exit to
    // run, which takes no lock of ours but may take a moment.
    std::vector<std::thread> ended;
    {
      const std::lock_guard lock(mutex_);
      for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (!it->ended) {
          ++it;
          continue;
        }
        ended.push_back(std::move(it->thread));
        it = jobs_.erase(it);
      }
    }
    for (std::thread& thread : ended) thread.join();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

bool WaitForLiveJobsAtExit(std::chrono::milliseconds limit) noexcept {
  return LiveJobs::Process().WaitUntilNone(limit);
}

}  // namespace ostrel::update
