// How minizip reads the archive file: a wide path opened with _wfopen and
// read through the C runtime's buffer. minizip reads the central directory
// a byte or two at a time; unbuffered (as with its own Win32 functions)
// every one of those is a system call, which under Wine costs more than
// inflating the entry.
#pragma once

#include <ioapi.h>

namespace ostrel::update {

// Fills `io` for unzOpen2_64 with a wide path as the file name.
void FillBufferedWideFileFunctions(zlib_filefunc64_def& io) noexcept;

}  // namespace ostrel::update
