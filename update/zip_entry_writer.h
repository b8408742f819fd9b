// Writing one file entry of an open archive: its raw data read through
// minizip and inflated here with zlib, so that data running past the
// declared size is caught as it happens (minizip alone stops at the declared
// size without saying so). The file is deleted again when its data is cut
// short, runs over, fails its CRC or cannot be written.
#pragma once

#include <unzip.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/win/unique_any.h"
#include "update/zip_entry_kind.h"
#include "update/zip_entry_name.h"

namespace ostrel::update {

// What the central directory says about the entry.
struct ZipEntryFacts {
  std::uint32_t version_made_by = 0;
  std::uint32_t flags = 0;
  std::uint32_t method = 0;
  std::uint32_t dos_date_time = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressed_size = 0;
  std::uint64_t uncompressed_size = 0;
  std::uint32_t external_attributes = 0;
  std::vector<std::uint8_t> extra;
};

struct WrittenFile {
  std::uint64_t bytes = 0;  // inflated bytes written, also when the file was deleted again
  std::string refusal;      // empty when the file is complete
  win::unique_file held;    // with `hold`: the complete file, open for reading only
};

// `allowance` is what the extraction may still write in all. With `hold`
// the file is never without an open handle that refuses write and delete
// sharing, from its first byte until the caller lets `held` go; its content
// is read back through that handle and must still be what was written.
WrittenFile WriteEntryFile(unzFile zip, const std::wstring& target, const ZipEntryFacts& facts,
                           const ZipEntryKind& kind, std::uint64_t allowance, bool hold = false) noexcept;

}  // namespace ostrel::update
