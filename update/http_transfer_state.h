// What one HTTP transfer works on. The keep-going flag is the one value
// meant to be touched from another thread: storing 0 there stops a transfer
// after the read in progress.
#pragma once

#include <atomic>
#include <cstdint>

namespace ostrel::update {

struct HttpFetcher {
  std::atomic<int> keep_going{1};
  // The progress value last posted to the window, kept across downloads.
  int last_progress = 0;
  // The body bytes the last transfer received (a download: wrote).
  std::uint64_t body_bytes = 0;
};

}  // namespace ostrel::update
