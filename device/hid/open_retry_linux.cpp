#include "device/hid/open_retry.h"

namespace ostrel::device {
namespace {

// A few tries within 2 s: 100 + 200 + 400 + 800 ms of pauses.
constexpr std::uint32_t kHidrawOpenRetryPauses[] = {100, 200, 400, 800};

}  // namespace

OpenRetryPauses DisplayOpenRetryPauses() noexcept { return kHidrawOpenRetryPauses; }

}  // namespace ostrel::device
