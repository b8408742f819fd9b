// The progress values a file download posts to its window: fixed stages for
// opening, then 10 + 90 n / T for chunk n of T expected 10240-byte chunks,
// then 100. A value is posted only when it differs from the last one posted.
//
// A read may return fewer bytes than a chunk, so n can pass T and values
// above 100 appear before the final 100; without a content length T is 0 and
// no chunk values are posted at all.
#pragma once

#include <cstdint>
#include <optional>

namespace ostrel::update {

inline constexpr int kProgressStart = 0;
inline constexpr int kProgressOpened = 2;
inline constexpr int kProgressConnected = 8;
inline constexpr int kProgressFileReady = 10;
inline constexpr int kProgressDone = 100;

// 10 + 90 n / T in integer arithmetic, for T > 0; values past INT_MAX (only
// from absurd chunk counts) stay at INT_MAX.
int ChunkProgress(std::int64_t chunks_read, std::int64_t total_chunks) noexcept;

class DownloadProgress {
 public:
  // `last_posted` is the fetcher's value, updated by every value posted.
  // Without a window nothing is posted and it stays as it is.
  DownloadProgress(int& last_posted, bool has_window) noexcept : last_(last_posted), posting_(has_window) {}

  // Each returns the value to post now, or nothing.
  std::optional<int> Reach(int stage) noexcept;
  void SetContentLength(std::uint32_t length) noexcept;
  std::optional<int> ChunkRead() noexcept;

 private:
  int& last_;
  bool posting_;
  std::int64_t total_chunks_ = 0;
  std::int64_t chunks_read_ = 0;
};

}  // namespace ostrel::update
