// The firmware check runs on the update thread, but the display is asked
// for its version on the worker, between two update steps: the worker sends
// the display a report every second, and the two exchanges must never
// overlap. The update thread asks and waits a bounded time; the worker
// answers at the start of its next iteration. Once closed (the worker is
// stopping) every question is answered "no device" at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace ostrel::device {

class WorkerVersionQuery {
 public:
  // The display's version, or nothing when no display is open or it did
  // not answer.
  using Answer = std::optional<std::uint16_t>;
  using Query = std::function<Answer()>;

  // `query` runs on the worker, in Serve.
  explicit WorkerVersionQuery(Query query) noexcept;

  // Any thread but the worker's. Nothing when the worker did not answer
  // within `limit` or is stopping; a question not yet taken up is then
  // withdrawn.
  Answer Ask(std::chrono::milliseconds limit) noexcept;
  // On the worker: answers the waiting question, if any.
  void Serve() noexcept;
  // Answers a waiting question with nothing, and every later one at once.
  void Close() noexcept;

 private:
  Query query_;
  std::mutex mutex_;
  std::condition_variable answered_;
  std::uint64_t asked_ = 0;  // number of the waiting question, 0 for none
  std::uint64_t next_ = 0;
  std::uint64_t answer_for_ = 0;
  Answer answer_;
  bool closed_ = false;
};

}  // namespace ostrel::device
