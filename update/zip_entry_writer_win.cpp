#include <windows.h>
#include <zlib.h>

#include <array>
#include <memory>
#include <span>

#include "common/win/unique_any.h"
#include "update/extended_timestamp.h"
#include "update/zip_entry_writer.h"
#include "update/zip_limits.h"

namespace ostrel::update {

namespace {

constexpr std::uint32_t kStored = 0;
constexpr std::uint32_t kDeflated = 8;

struct CurrentEntryCloser {
  void operator()(void* zip) const noexcept { ::unzCloseCurrentFile(zip); }
};

struct InflateEnder {
  void operator()(z_stream* stream) const noexcept { ::inflateEnd(stream); }
};

FILETIME FromUnixTime(std::int64_t seconds) noexcept {
  constexpr std::int64_t kEpochDifference = 11644473600;  // 1601 to 1970
  const auto ticks = static_cast<std::uint64_t>((seconds + kEpochDifference) * 10000000);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// Creation, access and write time: the MS-DOS time (local) for all three,
// each replaced by its extended timestamp when the entry has one.
std::array<FILETIME, 3> EntryTimes(const ZipEntryFacts& facts) noexcept {
  FILETIME local{}, utc{};
  ::DosDateTimeToFileTime(HIWORD(facts.dos_date_time), LOWORD(facts.dos_date_time), &local);
  ::LocalFileTimeToFileTime(&local, &utc);
  std::array<FILETIME, 3> times = {utc, utc, utc};
  if (const auto stamp = FindExtendedTimestamp(facts.extra)) {
    if (stamp->created) times[0] = FromUnixTime(*stamp->created);
    if (stamp->accessed) times[1] = FromUnixTime(*stamp->accessed);
    if (stamp->modified) times[2] = FromUnixTime(*stamp->modified);
  }
  return times;
}

DWORD AttributesOf(const ZipEntryKind& kind) noexcept {
  DWORD attributes = 0;
  if (kind.read_only) attributes |= FILE_ATTRIBUTE_READONLY;
  if (kind.hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (kind.system) attributes |= FILE_ATTRIBUTE_SYSTEM;
  if (kind.archive) attributes |= FILE_ATTRIBUTE_ARCHIVE;
  return attributes;
}

class EntrySink {
 public:
  EntrySink(HANDLE file, std::uint64_t declared, std::uint64_t allowance) noexcept
      : file_(file), declared_(declared), allowance_(allowance) {}

  // Empty, or why the entry stops here.
  const char* Take(const Bytef* data, std::size_t n) noexcept {
    if (n == 0) return nullptr;
    if (bytes_ + n > declared_) return "inflated data runs past its declared size";
    if (bytes_ + n > allowance_) return "would pass the extraction's size bound";
    crc_ = ::crc32(crc_, data, static_cast<uInt>(n));
    DWORD written = 0;
    if (!::WriteFile(file_, data, static_cast<DWORD>(n), &written, nullptr) || written != n)
      return "write failed";
    bytes_ += n;
    return nullptr;
  }
  std::uint64_t Bytes() const noexcept { return bytes_; }
  uLong Crc() const noexcept { return crc_; }

 private:
  HANDLE file_;
  std::uint64_t declared_;
  std::uint64_t allowance_;
  std::uint64_t bytes_ = 0;
  uLong crc_ = ::crc32(0, Z_NULL, 0);
};

// Feeds the entry's raw data through the sink, inflating it when needed.
const char* Pump(unzFile zip, std::uint32_t method, EntrySink& sink) noexcept {
  std::array<Bytef, kWriteBlockBytes> in{};
  std::array<Bytef, kWriteBlockBytes> out{};
  z_stream stream{};
  std::unique_ptr<z_stream, InflateEnder> inflating;
  if (method == kDeflated) {
    if (::inflateInit2(&stream, -MAX_WBITS) != Z_OK) return "inflater could not start";
    inflating.reset(&stream);
  }
  for (;;) {
    const int got = ::unzReadCurrentFile(zip, in.data(), static_cast<unsigned>(in.size()));
    if (got < 0) return "entry data unreadable";
    if (got == 0) return method == kStored ? nullptr : "data cut short";
    if (method == kStored) {
      if (const char* why = sink.Take(in.data(), static_cast<std::size_t>(got))) return why;
      continue;
    }
    stream.next_in = in.data();
    stream.avail_in = static_cast<uInt>(got);
    do {
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      const int status = ::inflate(&stream, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return "inflated data corrupt";
      if (const char* why = sink.Take(out.data(), out.size() - stream.avail_out)) return why;
      if (status == Z_STREAM_END) return nullptr;
      if (status == Z_BUF_ERROR && stream.avail_in == 0) break;
    } while (stream.avail_in > 0 || stream.avail_out == 0);
  }
}

// A new file, or one that replaces an ordinary file an earlier run left
// there; a link or folder at the path is left alone. Most targets are new,
// and under Wine every question to the file system costs as much as
// inflating a small entry, so the existing ones are only looked at when
// creating a new one fails.
win::unique_file CreateTarget(const std::wstring& target, std::string& refusal) noexcept {
  // Others may read (a held program hands over to a read-only handle while
  // this one is still open), never write or delete.
  const auto create = [&target](DWORD disposition) {
    return win::unique_file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  win::unique_file file = create(CREATE_NEW);
  if (file) return file;
  const DWORD existing = ::GetFileAttributesW(target.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES) {
    refusal = "file could not be created";
  } else if (existing & FILE_ATTRIBUTE_REPARSE_POINT) {
    refusal = "a link stands at the path";
  } else if (existing & FILE_ATTRIBUTE_DIRECTORY) {
    refusal = "a folder stands at the path";
  } else {
    // A read-only or hidden file is replaced too.
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    file = create(CREATE_ALWAYS);
    if (!file) refusal = "file could not be created";
  }
  return file;
}

// Swaps the writing handle for one that only reads, with no moment between
// in which the file is open to writers or to deletion: a bridge handle,
// which must share writing with the writer but not deletion, is open while
// the writer closes; the final handle shares reading only and so can only
// open once no writer is left. What it then reads must be what was written.
win::unique_file HoldWritten(win::unique_file& writer, const std::wstring& target, std::uint64_t size,
                             uLong crc, std::string& refusal) noexcept {
  const auto open = [&target](DWORD share) {
    return win::unique_file(::CreateFileW(target.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  win::unique_file bridge = open(FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!bridge) {
    refusal = "written file could not be held";
    return {};
  }
  writer.reset();
  win::unique_file held = open(FILE_SHARE_READ);
  bridge.reset();
  if (!held) {
    refusal = "written file is open to another writer";
    return {};
  }
  std::array<Bytef, kWriteBlockBytes> block{};
  uLong read_crc = ::crc32(0, Z_NULL, 0);
  std::uint64_t read_bytes = 0;
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(held.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) {
      refusal = "written file could not be read back";
      return {};
    }
    if (got == 0) break;
    read_crc = ::crc32(read_crc, block.data(), got);
    read_bytes += got;
  }
  if (read_bytes != size || read_crc != crc) {
    refusal = "written file changed before it was held";
    return {};
  }
  return held;
}

}  // namespace

WrittenFile WriteEntryFile(unzFile zip, const std::wstring& target, const ZipEntryFacts& facts,
                           const ZipEntryKind& kind, std::uint64_t allowance, bool hold) noexcept {
  WrittenFile result;
  if (facts.method != kStored && facts.method != kDeflated) {
    result.refusal = "compression method not supported";
    return result;
  }
  int method = 0, level = 0;
  if (::unzOpenCurrentFile2(zip, &method, &level, 1) != UNZ_OK) {
    result.refusal = "entry data unreadable";
    return result;
  }
  const std::unique_ptr<void, CurrentEntryCloser> current(zip);
  win::unique_file file = CreateTarget(target, result.refusal);
  if (!file) return result;
  EntrySink sink(file.get(), facts.uncompressed_size, allowance);
  const char* why = Pump(zip, facts.method, sink);
  result.bytes = sink.Bytes();
  if (!why && sink.Bytes() != facts.uncompressed_size) why = "data shorter than its declared size";
  if (!why && sink.Crc() != facts.crc) why = "CRC mismatch";
  if (why) {
    file.reset();
    ::DeleteFileW(target.c_str());
    result.refusal = why;
    return result;
  }
  const std::array<FILETIME, 3> times = EntryTimes(facts);
  ::SetFileTime(file.get(), &times[0], &times[1], &times[2]);
  if (hold) {
    result.held = HoldWritten(file, target, sink.Bytes(), sink.Crc(), result.refusal);
    if (!result.held) {
      file.reset();
      ::DeleteFileW(target.c_str());
      return result;
    }
  }
  file.reset();
  if (const DWORD attributes = AttributesOf(kind)) ::SetFileAttributesW(target.c_str(), attributes);
  return result;
}

}  // namespace ostrel::update
