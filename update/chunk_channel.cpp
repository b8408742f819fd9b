#include "update/chunk_channel.h"

namespace ostrel::update {

bool ChunkChannel::Push(TransferEvent event) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return keep_going_.load() == 0 || chunks_ < max_chunks_; });
  if (keep_going_.load() == 0) return false;
  if (event.kind == TransferEvent::Kind::Chunk) ++chunks_;
  events_.push_back(std::move(event));
  lock.unlock();
  changed_.notify_all();
  return true;
}

std::optional<TransferEvent> ChunkChannel::Next(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, wait, [this] { return !events_.empty(); })) return std::nullopt;
  TransferEvent event = std::move(events_.front());
  events_.pop_front();
  if (event.kind == TransferEvent::Kind::Chunk) --chunks_;
  lock.unlock();
  changed_.notify_all();
  return event;
}

void ChunkChannel::Abandon() noexcept {
  {
    const std::lock_guard lock(mutex_);
    keep_going_.store(0);
    events_.clear();
    chunks_ = 0;
  }
  changed_.notify_all();
}

}  // namespace ostrel::update
