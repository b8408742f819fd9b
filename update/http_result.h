// What an HTTP transfer came to. The numbers are the ones printed in traces
// and by ostrelctl, so they stay as they are.
#pragma once

namespace ostrel::update {

enum class HttpResult : int {
  // The body was read to its end.
  Complete = 1,
  // InternetOpenA failed.
  NoInternet = 0,
  // The URL could not be opened, the reply or the body was wrong, a write
  // failed or a deadline passed.
  Failed = -1,
  // The keep-going flag was cleared; what was read so far is delivered.
  Stopped = -2,
};

constexpr int ResultNumber(HttpResult result) noexcept { return static_cast<int>(result); }

}  // namespace ostrel::update
