// The archive fields read before any data: the extended-timestamp extra
// field and the host/attribute classification. Neither may read past the
// bytes given nor call a link anything but a file-like entry.
#include <cstdint>
#include <span>

#include "tests/fuzz/fuzz_check.h"
#include "update/extended_timestamp.h"
#include "update/zip_entry_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ostrel::update;
  const std::span<const std::uint8_t> bytes(data, size);
  (void)FindExtendedTimestamp(bytes);
  if (size >= 6) {
    const std::uint32_t made_by = data[0] | (data[1] << 8);
    const std::uint32_t attributes = static_cast<std::uint32_t>(data[2]) | (data[3] << 8) | (data[4] << 16) |
                                     (static_cast<std::uint32_t>(data[5]) << 24);
    const ZipEntryKind kind = ClassifyZipEntry(made_by, attributes);
    OSTREL_FUZZ_CHECK(!(kind.symbolic_link && kind.directory));
  }
  return 0;
}
