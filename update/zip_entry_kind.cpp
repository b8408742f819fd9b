#include "update/zip_entry_kind.h"

namespace ostrel::update {

namespace {

bool HasDosAttributes(std::uint32_t host) noexcept {
  return host == 0 || host == 6 || host == 7 || host == 11 || host == 14;
}

constexpr std::uint32_t kModeTypeMask = 0170000;
constexpr std::uint32_t kModeDirectory = 0040000;
constexpr std::uint32_t kModeSymbolicLink = 0120000;
constexpr std::uint32_t kModeOwnerWrite = 0200;

}  // namespace

ZipEntryKind ClassifyZipEntry(std::uint32_t version_made_by, std::uint32_t external_attributes) noexcept {
  ZipEntryKind kind;
  const std::uint32_t host = (version_made_by >> 8) & 0xFF;
  if (HasDosAttributes(host)) {
    kind.read_only = (external_attributes & 0x01) != 0;
    kind.hidden = (external_attributes & 0x02) != 0;
    kind.system = (external_attributes & 0x04) != 0;
    kind.directory = (external_attributes & 0x10) != 0;
    kind.archive = (external_attributes & 0x20) != 0;
    return kind;
  }
  const std::uint32_t mode = external_attributes >> 16;
  kind.directory = (mode & kModeTypeMask) == kModeDirectory;
  kind.symbolic_link = (mode & kModeTypeMask) == kModeSymbolicLink;
  kind.read_only = (mode & kModeOwnerWrite) == 0;
  return kind;
}

}  // namespace ostrel::update
