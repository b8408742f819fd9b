// How minizip reads an archive: from a file, or from bytes in memory.
//
// A file: a wide path opened with _wfopen and
// read through the C runtime's buffer. minizip reads the central directory
// a byte or two at a time; unbuffered (as with its own Win32 functions)
// every one of those is a system call, which under Wine costs more than
// inflating the entry.
#pragma once

#include <ioapi.h>

#include <cstdint>
#include <span>

namespace ostrel::update {

// Fills `io` for unzOpen2_64 with a wide path as the file name.
void FillBufferedWideFileFunctions(zlib_filefunc64_def& io) noexcept;

// Fills `io` for unzOpen2_64 over `archive`, which must outlive the opened
// archive; the file name given to unzOpen2_64 is not used (pass any
// non-null pointer). An update package is unpacked from the very bytes its
// signature was checked over, so nothing can change it in between.
void FillMemoryFunctions(zlib_filefunc64_def& io, const std::span<const std::uint8_t>& archive) noexcept;

}  // namespace ostrel::update
