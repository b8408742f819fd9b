#include <algorithm>
#include <memory>

#include "update/zip_reader_io.h"

namespace ostrel::update {

namespace {

struct Cursor {
  std::span<const std::uint8_t> bytes;
  std::uint64_t at = 0;
};

voidpf ZCALLBACK Open(voidpf opaque, const void* filename, int mode) {
  if (!opaque || !filename || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) {
    return nullptr;
  }
  // Owned by minizip from here to its Close call.
  return new (std::nothrow) Cursor{*static_cast<const std::span<const std::uint8_t>*>(opaque), 0};
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
  auto& cursor = *static_cast<Cursor*>(stream);
  const std::uint64_t left = cursor.bytes.size() - cursor.at;
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
  std::copy_n(cursor.bytes.data() + cursor.at, n, static_cast<std::uint8_t*>(buffer));
  cursor.at += n;
  return static_cast<uLong>(n);
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) { return static_cast<Cursor*>(stream)->at; }

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto& cursor = *static_cast<Cursor*>(stream);
  std::uint64_t base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = cursor.at;
  if (origin == ZLIB_FILEFUNC_SEEK_END) base = cursor.bytes.size();
  if (offset > cursor.bytes.size() - std::min<std::uint64_t>(base, cursor.bytes.size())) return -1;
  cursor.at = base + offset;
  return 0;
}

int ZCALLBACK Close(voidpf, voidpf stream) {
  std::unique_ptr<Cursor> owned(static_cast<Cursor*>(stream));
  return 0;
}

int ZCALLBACK Error(voidpf, voidpf) { return 0; }

}  // namespace

void FillMemoryFunctions(zlib_filefunc64_def& io, const std::span<const std::uint8_t>& archive) noexcept {
  io.zopen64_file = Open;
  io.zread_file = Read;
  io.zwrite_file = Write;
  io.ztell64_file = Tell;
  io.zseek64_file = Seek;
  io.zclose_file = Close;
  io.zerror_file = Error;
  io.opaque = const_cast<std::span<const std::uint8_t>*>(&archive);
}

}  // namespace ostrel::update
