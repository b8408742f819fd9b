// A failure the design swallows (an exception stopped where nothing may
// cross, an out-of-memory that only loses one item) still leaves a line in
// the debugger output, where a test log or a debugger shows it. Plain code
// built natively writes the same line to standard error.
#pragma once

#include <cstddef>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#endif

namespace ostrel {

// `where` is ASCII: a file and the function in it.
inline void ReportSwallowed(const char* where) noexcept {
#ifdef _WIN32
  wchar_t line[256];
  const char prefix[] = "ostrel: failure swallowed in ";
  std::size_t n = 0;
  for (const char* p = prefix; *p && n + 2 < std::size(line); ++p) line[n++] = static_cast<wchar_t>(*p);
  for (const char* p = where; p && *p && n + 2 < std::size(line); ++p) {
    line[n++] = static_cast<wchar_t>(static_cast<unsigned char>(*p));
  }
  line[n++] = L'\n';
  line[n] = L'\0';
  ::OutputDebugStringW(line);
#else
  std::fprintf(stderr, "ostrel: failure swallowed in %s\n", where ? where : "");
#endif
}

}  // namespace ostrel
