#include "device/hid/open_retry.h"

namespace ostrel::device {

// An interface is announced once it can be opened: one attempt.
OpenRetryPauses DisplayOpenRetryPauses() noexcept { return {}; }

}  // namespace ostrel::device
