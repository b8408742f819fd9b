#include "device/worker/worker_version_query.h"

#include "common/swallowed_failure.h"

namespace ostrel::device {

WorkerVersionQuery::WorkerVersionQuery(Query query) noexcept : query_(std::move(query)) {}

WorkerVersionQuery::Answer WorkerVersionQuery::Ask(std::chrono::milliseconds limit) noexcept {
  try {
    std::unique_lock lock(mutex_);
    if (closed_) return std::nullopt;
    const std::uint64_t mine = ++next_;
    asked_ = mine;
    const bool done = answered_.wait_for(lock, limit, [&] { return closed_ || answer_for_ == mine; });
    if (asked_ == mine) asked_ = 0;
    if (!done || answer_for_ != mine) return std::nullopt;
    return answer_;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return std::nullopt;
  }
}

void WorkerVersionQuery::Serve() noexcept {
  try {
    std::uint64_t question = 0;
    {
      const std::lock_guard lock(mutex_);
      if (closed_ || asked_ == 0) return;
      question = asked_;
    }
    // The exchange itself runs outside the lock: a question that gives up
    // meanwhile must not wait for the display.
    const Answer answer = query_ ? query_() : std::nullopt;
    {
      const std::lock_guard lock(mutex_);
      if (asked_ != question) return;
      asked_ = 0;
      answer_ = answer;
      answer_for_ = question;
    }
    answered_.notify_all();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

void WorkerVersionQuery::Close() noexcept {
  try {
    {
      const std::lock_guard lock(mutex_);
      closed_ = true;
      asked_ = 0;
    }
    answered_.notify_all();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

}  // namespace ostrel::device
