#include "common/swallowed_failure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace ostrel {
namespace {

std::vector<SwallowedFailure> g_seen;

void Collect(const SwallowedFailure& failure) noexcept { g_seen.push_back(failure); }

// Puts the collecting sink in place for one test and the previous one back.
class SinkScope {
 public:
  SinkScope() : previous_(SetSwallowedFailureSink(&Collect)) { g_seen.clear(); }
  ~SinkScope() { SetSwallowedFailureSink(previous_); }

 private:
  SwallowedFailureSink previous_;
};

template <typename Throw>
int SwallowOne(Throw&& thrower) {
  try {
    thrower();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return __LINE__ - 1;
  }
  return 0;
}

constexpr char kThisFile[] = "tests/common/swallowed_failure_test.cpp";

TEST(SwallowedFailure, ACatchSiteReportsItsFileLineFunctionAndCode) {
  const SinkScope sink;
  const int bad_alloc_line = SwallowOne([] { throw std::bad_alloc(); });
  const int plain_line = SwallowOne([] { throw std::runtime_error("lost"); });
  SwallowOne([] { throw std::system_error(5, std::system_category()); });
  SwallowOne([] { throw std::system_error(std::make_error_code(std::errc::invalid_argument)); });
  SwallowOne([] { throw 7; });

  ASSERT_EQ(g_seen.size(), 5u);
  // The build maps the checkout's folder away: the path is the repository's.
  EXPECT_STREQ(g_seen[0].file, kThisFile);
  EXPECT_EQ(g_seen[0].line, bad_alloc_line);
  EXPECT_EQ(g_seen[1].line, plain_line);
  EXPECT_STREQ(g_seen[0].function, "SwallowOne");

  EXPECT_EQ(g_seen[0].kind, FailureCode::HResult);
  EXPECT_EQ(g_seen[0].code, 0x8007000Eu);
  EXPECT_EQ(g_seen[1].kind, FailureCode::None);
  EXPECT_EQ(g_seen[2].kind, FailureCode::Win32);
  EXPECT_EQ(g_seen[2].code, 5u);
  // An error of the generic category is no Win32 code: none is claimed.
  EXPECT_EQ(g_seen[3].kind, FailureCode::None);
  EXPECT_EQ(g_seen[4].kind, FailureCode::None);
}

TEST(SwallowedFailure, TheLineNamesThePlaceAndTheCode) {
  char line[256];
  const SwallowedFailure hr{"velo/core/rktimer.cpp", 64, "SetTimer", FailureCode::HResult, 0x80070005u};
  EXPECT_EQ(std::string(line, FormatSwallowedFailure(hr, line, sizeof line)),
            "ostrel: failure swallowed at velo/core/rktimer.cpp(64) in SetTimer: HRESULT 0x80070005\n");
  const SwallowedFailure win32{"a.cpp", 3, "F", FailureCode::Win32, 1400};
  EXPECT_EQ(std::string(line, FormatSwallowedFailure(win32, line, sizeof line)),
            "ostrel: failure swallowed at a.cpp(3) in F: error 1400\n");
  const SwallowedFailure none{"a.cpp", 3, "F", FailureCode::None, 0};
  EXPECT_EQ(std::string(line, FormatSwallowedFailure(none, line, sizeof line)),
            "ostrel: failure swallowed at a.cpp(3) in F\n");

  // A line longer than the buffer is cut, still terminated, never overrun.
  char small[12];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(FormatSwallowedFailure(hr, small, 10), 9u);
  EXPECT_STREQ(small, "ostrel: f");
  EXPECT_EQ(small[10], 'x');
}

#ifdef _WIN32
TEST(SwallowedFailure, CodesOfWin32CallsAreReportedOnlyOnFailure) {
  const SinkScope sink;
  EXPECT_EQ(OSTREL_REPORT_HR(S_FALSE), S_FALSE);
  EXPECT_TRUE(g_seen.empty());
  EXPECT_EQ(OSTREL_REPORT_HR(E_ACCESSDENIED), E_ACCESSDENIED);
  ::SetLastError(ERROR_FILE_NOT_FOUND);
  OSTREL_REPORT_LAST_ERROR();

  ASSERT_EQ(g_seen.size(), 2u);
  EXPECT_EQ(g_seen[0].kind, FailureCode::HResult);
  EXPECT_EQ(g_seen[0].code, static_cast<std::uint32_t>(E_ACCESSDENIED));
  EXPECT_EQ(g_seen[1].kind, FailureCode::Win32);
  EXPECT_EQ(g_seen[1].code, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_STREQ(g_seen[1].file, kThisFile);
}
#else
TEST(SwallowedFailure, TheDefaultReporterWritesTheLineToStandardError) {
  testing::internal::CaptureStderr();
  const int line = SwallowOne([] { throw std::bad_alloc(); });
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, "ostrel: failure swallowed at " + std::string(kThisFile) + "(" + std::to_string(line) +
                         ") in SwallowOne: HRESULT 0x8007000E\n");
}
#endif

}  // namespace
}  // namespace ostrel
