// A failure the design swallows (an exception stopped where nothing may
// cross, an out-of-memory that only loses one item, a call whose failure
// only loses a wish) still leaves a line in the debugger output, where a
// test log or a debugger shows it. Plain code built natively writes the same
// line to standard error. Each line names the file, the line, the function
// and, where there is one, the error code, so a log points at the place
// without a hand-typed location that can drift from the code.
//
// In a catch block:          OSTREL_REPORT_CAUGHT();
// After a failed HRESULT:    OSTREL_REPORT_HR(hr);
// After a failed Win32 call: OSTREL_REPORT_LAST_ERROR();
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ostrel {

enum class FailureCode : std::uint8_t { None, HResult, Win32 };

struct SwallowedFailure {
  const char* file = "";
  int line = 0;
  const char* function = "";
  FailureCode kind = FailureCode::None;
  std::uint32_t code = 0;
};

// Where reported failures go; a test puts its own sink here to read them.
using SwallowedFailureSink = void (*)(const SwallowedFailure&) noexcept;

// Writes one line ending in '\n' into `out` (cut to fit, always terminated)
// and answers its length.
inline std::size_t FormatSwallowedFailure(const SwallowedFailure& failure, char* out,
                                          std::size_t size) noexcept {
  if (size == 0) return 0;
  int n = 0;
  switch (failure.kind) {
    case FailureCode::None:
      n = std::snprintf(out, size, "ostrel: failure swallowed at %s(%d) in %s\n", failure.file, failure.line,
                        failure.function);
      break;
    case FailureCode::HResult:
      n = std::snprintf(out, size, "ostrel: failure swallowed at %s(%d) in %s: HRESULT 0x%08X\n",
                        failure.file, failure.line, failure.function, static_cast<unsigned>(failure.code));
      break;
    case FailureCode::Win32:
      n = std::snprintf(out, size, "ostrel: failure swallowed at %s(%d) in %s: error %u\n", failure.file,
                        failure.line, failure.function, static_cast<unsigned>(failure.code));
      break;
  }
  if (n < 0) {
    out[0] = '\0';
    return 0;
  }
  return static_cast<std::size_t>(n) < size ? static_cast<std::size_t>(n) : size - 1;
}

inline void WriteSwallowedFailure(const SwallowedFailure& failure) noexcept {
  char line[512];
  const std::size_t n = FormatSwallowedFailure(failure, line, sizeof line);
#ifdef _WIN32
  wchar_t wide[sizeof line];
  for (std::size_t i = 0; i <= n; ++i) wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(line[i]));
  ::OutputDebugStringW(wide);
#else
  std::fwrite(line, 1, n, stderr);
#endif
}

namespace detail {
// A checkout may live anywhere: the path reported is the repository's, found
// by taking off the folder this header's own path shows for the root.
inline const char* RepositoryPath(const char* file) noexcept {
  constexpr std::string_view self = __FILE__;
  constexpr std::string_view tail = "common/swallowed_failure.h";
  if (!file || !self.ends_with(tail)) return file ? file : "";
  const std::string_view root = self.substr(0, self.size() - tail.size());
  return std::string_view(file).starts_with(root) ? file + root.size() : file;
}

inline std::atomic<SwallowedFailureSink> g_swallowed_sink{&WriteSwallowedFailure};
}  // namespace detail

// Answers the sink it replaces; null puts the debugger output back.
inline SwallowedFailureSink SetSwallowedFailureSink(SwallowedFailureSink sink) noexcept {
  return detail::g_swallowed_sink.exchange(sink ? sink : &WriteSwallowedFailure);
}

inline void ReportSwallowedFailure(const SwallowedFailure& failure) noexcept {
  detail::g_swallowed_sink.load()(failure);
}

// Only inside a catch block: out-of-memory is E_OUTOFMEMORY, a system error
// carries its own value, anything else has no code.
inline SwallowedFailure CaughtFailure(const char* file, int line, const char* function) noexcept {
  SwallowedFailure failure{file, line, function, FailureCode::None, 0};
  try {
    throw;
  } catch (const std::bad_alloc&) {
    failure.kind = FailureCode::HResult;
    failure.code = 0x8007000Eu;
  } catch (const std::system_error& e) {
    failure.kind = e.code().category() == std::system_category() ? FailureCode::Win32 : FailureCode::None;
    failure.code = static_cast<std::uint32_t>(e.code().value());
  } catch (...) {
  }
  return failure;
}

#ifdef _WIN32
// Answers `hr`, reporting it when it is a failure.
inline HRESULT ReportIfFailed(HRESULT hr, const char* file, int line, const char* function) noexcept {
  if (FAILED(hr)) {
    ReportSwallowedFailure({file, line, function, FailureCode::HResult, static_cast<std::uint32_t>(hr)});
  }
  return hr;
}

// Reads GetLastError first, so nothing in between can change it.
inline void ReportLastError(const char* file, int line, const char* function) noexcept {
  const DWORD error = ::GetLastError();
  ReportSwallowedFailure({file, line, function, FailureCode::Win32, error});
}
#endif

}  // namespace ostrel

#define OSTREL_REPORT_CAUGHT()      \
  ::ostrel::ReportSwallowedFailure( \
      ::ostrel::CaughtFailure(::ostrel::detail::RepositoryPath(__FILE__), __LINE__, __func__))
#ifdef _WIN32
#define OSTREL_REPORT_HR(hr) \
  ::ostrel::ReportIfFailed((hr), ::ostrel::detail::RepositoryPath(__FILE__), __LINE__, __func__)
#define OSTREL_REPORT_LAST_ERROR() \
  ::ostrel::ReportLastError(::ostrel::detail::RepositoryPath(__FILE__), __LINE__, __func__)
#endif
