#include <cstdio>

#include "update/zip_reader_io.h"

namespace ostrel::update {

namespace {

constexpr std::size_t kReadBufferBytes = 64 * 1024;

voidpf ZCALLBACK Open(voidpf, const void* filename, int mode) {
  if (!filename || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  std::FILE* file = ::_wfopen(static_cast<const wchar_t*>(filename), L"rb");
  if (file) std::setvbuf(file, nullptr, _IOFBF, kReadBufferBytes);
  return file;
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
  return static_cast<uLong>(std::fread(buffer, 1, size, static_cast<std::FILE*>(stream)));
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) {
  const long long at = ::_ftelli64(static_cast<std::FILE*>(stream));
  return at < 0 ? static_cast<ZPOS64_T>(-1) : static_cast<ZPOS64_T>(at);
}

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  int whence = SEEK_SET;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) whence = SEEK_CUR;
  if (origin == ZLIB_FILEFUNC_SEEK_END) whence = SEEK_END;
  return ::_fseeki64(static_cast<std::FILE*>(stream), static_cast<long long>(offset), whence) == 0 ? 0 : -1;
}

int ZCALLBACK Close(voidpf, voidpf stream) { return std::fclose(static_cast<std::FILE*>(stream)); }

int ZCALLBACK Error(voidpf, voidpf stream) { return std::ferror(static_cast<std::FILE*>(stream)); }

}  // namespace

void FillBufferedWideFileFunctions(zlib_filefunc64_def& io) noexcept {
  io.zopen64_file = Open;
  io.zread_file = Read;
  io.zwrite_file = Write;
  io.ztell64_file = Tell;
  io.zseek64_file = Seek;
  io.zclose_file = Close;
  io.zerror_file = Error;
  io.opaque = nullptr;
}

}  // namespace ostrel::update
