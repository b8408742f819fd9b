// The sizes and times every transfer keeps to.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace ostrel::update {

// Bytes asked of each read; the download's progress counts these chunks.
inline constexpr std::uint32_t kReadChunkBytes = 10240;

// Per-operation limits given to the platform for connecting, sending and
// receiving.
inline constexpr std::uint32_t kConnectTimeoutMs = 10000;
inline constexpr std::uint32_t kSendTimeoutMs = 10000;
inline constexpr std::uint32_t kReceiveTimeoutMs = 10000;

// A version fetch runs before the first device scan: however the server
// behaves (silent, unreachable, one byte at a time), the worker, and with it
// the display, is free again after this long.
inline constexpr std::chrono::milliseconds kTextFetchDeadline{15000};

// A download that receives no whole read for this long is given up: a
// stalled, silent or dripping server (or an unanswered connect) would
// otherwise hold the worker for good. Under Wine none of the per-operation
// limits above fires, and on Windows they do not cover a slow drip.
inline constexpr std::chrono::milliseconds kDownloadNoProgressDeadline{30000};

// Redirects followed per transfer; a longer chain, or a loop, fails.
inline constexpr int kMaxRedirects = 10;

// Reads a download may have waiting for the disk before reading pauses.
inline constexpr std::size_t kMaxQueuedChunks = 64;

// A text body is a version file of a few bytes; only texts of 1 to 10
// characters are ever used, and no UTF-8 text of that length before a zero
// byte needs more than 40 bytes. A body that grows past this bound is not a
// version file and is not read further.
inline constexpr std::size_t kMaxTextBodyBytes = 64 * 1024;

}  // namespace ostrel::update
