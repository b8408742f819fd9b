#include "update/download_progress.h"

#include <climits>

#include "update/transfer_limits.h"

namespace ostrel::update {

int ChunkProgress(std::int64_t chunks_read, std::int64_t total_chunks) noexcept {
  if (total_chunks <= 0) return kProgressFileReady;
  const std::int64_t value = kProgressFileReady + (90 * chunks_read) / total_chunks;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::optional<int> DownloadProgress::Reach(int stage) noexcept {
  if (!posting_ || stage == last_) return std::nullopt;
  last_ = stage;
  return stage;
}

void DownloadProgress::SetContentLength(std::uint32_t length) noexcept {
  total_chunks_ = length / kReadChunkBytes;
}

std::optional<int> DownloadProgress::ChunkRead() noexcept {
  ++chunks_read_;
  if (total_chunks_ == 0) return std::nullopt;
  return Reach(ChunkProgress(chunks_read_, total_chunks_));
}

}  // namespace ostrel::update
