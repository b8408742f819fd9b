// The hand-over between a download's reading thread and the thread that
// writes the file. The reader may block in the network for good (WinINet's
// time-outs do not fire under Wine, and a blocked read cannot be ended from
// outside), so the writer only ever waits on this channel, for a bounded
// time, and can walk away; the reader learns of it at its next push and ends
// by itself. Both hold the channel through a shared pointer.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "update/http_result.h"

namespace ostrel::update {

struct TransferEvent {
  enum class Kind { Opened, Connected, Chunk, End };
  Kind kind = Kind::End;
  std::string bytes;                     // Chunk
  std::uint32_t content_length = 0;      // Connected
  HttpResult code = HttpResult::Failed;  // End: the transfer's result
};

class ChunkChannel {
 public:
  explicit ChunkChannel(std::size_t max_queued_chunks) noexcept : max_chunks_(max_queued_chunks) {}

  // Reader side. Waits while max_queued_chunks chunks are queued; false once
  // the writer has given up, and the reader should stop.
  bool Push(TransferEvent event);
  // The reader's keep-going flag: cleared when the writer gives up.
  const std::atomic<int>& KeepGoing() const noexcept { return keep_going_; }

  // Writer side: the next event, or nothing when `wait` passes first.
  std::optional<TransferEvent> Next(std::chrono::milliseconds wait);
  void Abandon() noexcept;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<TransferEvent> events_;
  std::size_t chunks_ = 0;
  const std::size_t max_chunks_;
  std::atomic<int> keep_going_{1};
};

}  // namespace ostrel::update
