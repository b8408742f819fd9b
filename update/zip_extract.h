// Unpacking an update package into a folder, over minizip (reading the
// archive) and zlib (inflating).
//
// Nothing is created, written or followed outside the folder: every name is
// cleaned or refused (zip_entry_name.h), no link is ever created or followed,
// and an entry may not turn an earlier one into something else
// (entry_ledger.h) nor replace the running program or a library it loaded. Each entry's inflated
// data must match its declared size and CRC; a file that fails either is
// deleted. The whole run keeps to zip_limits.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/win/unique_any.h"
#include "update/zip_limits.h"

namespace ostrel::update {

struct ExtractedEntry {
  std::string stored_name;    // the name's bytes as the archive holds them
  std::wstring written_path;  // full path of what was written; empty when not
  std::string refusal;        // why nothing (or nothing whole) was written; empty when written
  bool directory = false;
  std::uint64_t bytes = 0;
};

struct ExtractReport {
  bool opened = false;
  // Set when the archive itself failed part way (a damaged central
  // directory, too many entries): the entries after it were not looked at.
  std::string archive_error;
  std::vector<ExtractedEntry> entries;
  std::uint64_t total_bytes = 0;
  // The file of ExtractOptions::hold_open once written whole, open for
  // reading only, with neither write nor delete shared.
  win::unique_file held;

  // Opened, walked to its end, and every entry written.
  bool Complete() const noexcept;
  // Whether this run wrote a complete file at `path`.
  bool Wrote(std::wstring_view path) const;
};

struct ExtractOptions {
  std::uint64_t max_total_bytes = kMaxExtractedBytes;
  std::size_t max_entries = kMaxArchiveEntries;
  // Files no entry may replace; empty means the running program and every
  // library it has loaded.
  std::vector<std::wstring> protected_paths;
  // A file to keep from being changed from the moment it is written on (the
  // program an install starts): see ExtractReport::held.
  std::wstring hold_open;
};

ExtractReport ExtractZip(const wchar_t* archive, const wchar_t* folder,
                         const ExtractOptions& options = {}) noexcept;
// The same from an archive held in memory.
ExtractReport ExtractZipFromMemory(std::span<const std::uint8_t> archive, const wchar_t* folder,
                                   const ExtractOptions& options = {}) noexcept;

// True when the archive could be opened; single entries may still have
// failed (see ExtractZip for what did).
bool ExtractZipToFolder(const wchar_t* archive, const wchar_t* folder) noexcept;

}  // namespace ostrel::update
