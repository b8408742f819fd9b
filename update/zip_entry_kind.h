// What an archive entry is, from the host that made it (high byte of
// "version made by") and its external attributes: MS-DOS bits for entries
// made on MS-DOS, OS/2, NTFS and VFAT hosts (0, 6, 11, 14 and the old 7),
// a Unix mode in the upper 16 bits for every other host.
#pragma once

#include <cstdint>

namespace ostrel::update {

struct ZipEntryKind {
  bool directory = false;
  bool symbolic_link = false;  // Unix hosts only; never created as a link
  bool read_only = false;
  bool hidden = false;
  bool system = false;
  bool archive = false;
};

ZipEntryKind ClassifyZipEntry(std::uint32_t version_made_by, std::uint32_t external_attributes) noexcept;

}  // namespace ostrel::update
