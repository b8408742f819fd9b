#include <unzip.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "common/win/module_path.h"
#include "common/win/unique_any.h"
#include "update/entry_ledger.h"
#include "update/same_path.h"
#include "update/zip_entry_writer.h"
#include "update/zip_extract.h"
#include "update/zip_reader_io.h"

namespace ostrel::update {

namespace {

struct ZipCloser {
  void operator()(void* zip) const noexcept { ::unzClose(zip); }
};
using unique_zip = std::unique_ptr<void, ZipCloser>;

constexpr unsigned long kFlagEncrypted = 0x0001;
constexpr unsigned long kFlagUtf8Name = 0x0800;

// The program and every library it has loaded (VELO.dll, hidapi.dll, the
// sensor library beside it): replacing any of them under the running
// process is replacing the running program.
std::vector<std::wstring> RunningProgramFiles() {
  std::vector<std::wstring> files = {win::ModulePath(nullptr)};
  std::vector<HMODULE> modules(256);
  DWORD needed = 0;
  const HANDLE self = ::GetCurrentProcess();
  if (!::EnumProcessModules(self, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                            &needed)) {
    return files;
  }
  modules.resize(std::min<std::size_t>(modules.size(), needed / sizeof(HMODULE)));
  for (HMODULE module : modules) {
    if (std::wstring path = win::ModulePath(module); !path.empty()) files.push_back(std::move(path));
  }
  return files;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(got < n ? got : 0);
  return full.empty() ? path : full;
}

// The stored name as wide text: UTF-8 when the entry says so, else the ANSI
// code page. Bytes that are no text there give nothing.
std::optional<std::wstring> DecodeName(const std::string& stored, unsigned long flags) {
  if (stored.empty()) return std::wstring();
  const UINT code_page = (flags & kFlagUtf8Name) ? CP_UTF8 : CP_ACP;
  const int length = static_cast<int>(stored.size());
  const int n = ::MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, stored.data(), length, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, stored.data(), length, wide.data(), n);
  return wide;
}

class Extraction {
 public:
  Extraction(std::wstring base, const ExtractOptions& options)
      : base_(std::move(base)), full_base_(FullPath(base_)), options_(options) {
    for (const auto& path : options.protected_paths) protected_.push_back(PathKey(FullPath(path)));
    if (!options.hold_open.empty()) hold_key_ = PathKey(FullPath(options.hold_open));
    if (protected_.empty()) {
      for (const auto& path : RunningProgramFiles()) protected_.push_back(PathKey(path));
    }
  }

  void Entry(unzFile zip, ExtractReport& report) {
    unz_file_info64 info{};
    if (::unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
      report.archive_error = "entry header unreadable";
      return;
    }
    std::string name(info.size_filename, '\0');
    std::vector<std::uint8_t> extra(info.size_file_extra);
    if (::unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size() + 1), extra.data(),
                                  static_cast<uLong>(extra.size()), nullptr, 0) != UNZ_OK) {
      report.archive_error = "entry header unreadable";
      return;
    }
    ExtractedEntry& entry = report.entries.emplace_back();
    entry.stored_name = name;
    ZipEntryFacts facts{info.version,           info.flag,        info.compression_method,
                        info.dosDate,           info.crc,         info.compressed_size,
                        info.uncompressed_size, info.external_fa, std::move(extra)};
    entry.refusal = Place(zip, name, facts, entry, report);
  }

 private:
  std::string Place(unzFile zip, const std::string& stored, ZipEntryFacts& facts, ExtractedEntry& entry,
                    ExtractReport& report) {
    const std::optional<std::wstring> wide = DecodeName(stored, facts.flags);
    if (!wide) return "name is not valid text in its code page";
    const CleanedEntryName cleaned = CleanEntryName(*wide);
    if (!cleaned.ok()) return std::string(cleaned.refusal);
    const ZipEntryKind kind = ClassifyZipEntry(facts.version_made_by, facts.external_attributes);
    if (kind.symbolic_link) return "symbolic link";
    entry.directory = kind.directory || cleaned.names_directory;
    if (const std::string_view why = ledger_.Claim(cleaned.path, entry.directory); !why.empty()) {
      return std::string(why);
    }
    const std::wstring target = base_ + cleaned.path;
    if (target.size() >= MAX_PATH) return "path too long inside the folder";
    // The cleaned name has no "." or ".." steps, so the full path is the
    // base's full path and the name, without asking the file system again.
    const std::wstring full_key = PathKey(full_base_ + cleaned.path);
    for (const auto& key : protected_) {
      if (full_key == key) return "would replace the running program";
    }
    if (const std::string why = CreateParents(cleaned.path, entry.directory); !why.empty()) return why;
    if (entry.directory) {
      entry.written_path = target;
      return {};
    }
    if (facts.flags & kFlagEncrypted) return "encrypted";
    if (report.total_bytes + facts.uncompressed_size > options_.max_total_bytes) {
      return "would pass the extraction's size bound";
    }
    const std::uint64_t allowance = options_.max_total_bytes - report.total_bytes;
    WrittenFile written = WriteEntryFile(zip, target, facts, kind, allowance, full_key == hold_key_);
    report.total_bytes += written.bytes;
    entry.bytes = written.bytes;
    if (!written.refusal.empty()) return written.refusal;
    if (written.held) report.held = std::move(written.held);
    entry.written_path = target;
    return {};
  }

  // Every folder above the entry (and the entry itself when it is one),
  // under the base only; an existing link on the way is not followed.
  std::string CreateParents(const std::wstring& relative, bool include_last) {
    std::size_t at = 0;
    for (;;) {
      const std::size_t next = relative.find(L'\\', at);
      if (next == std::wstring::npos && !include_last) return {};
      const std::wstring folder = base_ + relative.substr(0, next);
      // Folders this run made or checked are not asked about again; only
      // entries of this run could have changed them since.
      const std::wstring key = PathKey(folder);
      if (checked_folders_.count(key)) {
        if (next == std::wstring::npos) return {};
        at = next + 1;
        continue;
      }
      // A folder made just now is ours; one that was there already is
      // looked at before anything is written through it.
      if (!::CreateDirectoryW(folder.c_str(), nullptr)) {
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return "folder could not be created";
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return "folder could not be created";
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "a link stands on the path";
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "a file stands where a folder is needed";
      }
      checked_folders_.insert(key);
      if (next == std::wstring::npos) return {};
      at = next + 1;
    }
  }

  std::wstring base_;
  std::wstring full_base_;
  const ExtractOptions& options_;
  std::set<std::wstring> checked_folders_;
  std::vector<std::wstring> protected_;
  std::wstring hold_key_;
  EntryLedger ledger_;
};

}  // namespace

bool ExtractReport::Complete() const noexcept {
  if (!opened || !archive_error.empty()) return false;
  for (const auto& entry : entries) {
    if (!entry.refusal.empty()) return false;
  }
  return true;
}

bool ExtractReport::Wrote(std::wstring_view path) const {
  for (const auto& entry : entries) {
    if (!entry.directory && entry.refusal.empty() && SamePath(entry.written_path, path)) return true;
  }
  return false;
}

namespace {

// `name` is what the io functions open.
ExtractReport Extract(zlib_filefunc64_def& io, const void* name, const wchar_t* folder,
                      const ExtractOptions& options) noexcept {
  ExtractReport report;
  try {
    if (!name || !folder) return report;
    const unique_zip zip(::unzOpen2_64(name, &io));
    if (!zip) return report;
    report.opened = true;

    std::wstring base(folder);
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
    Extraction extraction(std::move(base), options);

    int status = ::unzGoToFirstFile(zip.get());
    while (status == UNZ_OK && report.archive_error.empty()) {
      if (report.entries.size() >= options.max_entries) {
        report.archive_error = "more entries than an extraction takes";
        break;
      }
      extraction.Entry(zip.get(), report);
      status = ::unzGoToNextFile(zip.get());
    }
    if (report.archive_error.empty() && status != UNZ_END_OF_LIST_OF_FILE && status != UNZ_OK) {
      report.archive_error = "central directory damaged";
    }
  } catch (...) {
    if (report.archive_error.empty()) report.archive_error = "out of memory";
  }
  return report;
}

}  // namespace

ExtractReport ExtractZip(const wchar_t* archive, const wchar_t* folder,
                         const ExtractOptions& options) noexcept {
  zlib_filefunc64_def io{};
  FillBufferedWideFileFunctions(io);
  return Extract(io, archive, folder, options);
}

ExtractReport ExtractZipFromMemory(std::span<const std::uint8_t> archive, const wchar_t* folder,
                                   const ExtractOptions& options) noexcept {
  zlib_filefunc64_def io{};
  FillMemoryFunctions(io, archive);
  // minizip wants a name; the io functions above read only `archive`.
  return Extract(io, L"", folder, options);
}

bool ExtractZipToFolder(const wchar_t* archive, const wchar_t* folder) noexcept {
  return ExtractZip(archive, folder).opened;
}

}  // namespace ostrel::update
