// Bounds of one extraction. An update package is a program and a few files,
// tens of megabytes; these leave room for a hundredfold growth while keeping
// a hostile archive (a "zip bomb", a central directory of a million entries)
// from filling the disk or running for long.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ostrel::update {

// Everything one extraction writes, summed over its entries by the bytes
// actually inflated. An entry that would pass it is refused before it is
// opened (by its declared size) or stopped and deleted while it is written.
inline constexpr std::uint64_t kMaxExtractedBytes = std::uint64_t{1} << 30;  // 1 GiB

// Entries looked at; the rest of a longer archive is not read.
inline constexpr std::size_t kMaxArchiveEntries = 10000;

// Bytes inflated and written at a time.
inline constexpr std::size_t kWriteBlockBytes = 16384;

}  // namespace ostrel::update
