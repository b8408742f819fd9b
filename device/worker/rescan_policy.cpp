#include "device/worker/rescan_policy.h"

namespace ostrel::device {

bool RescanPolicy::AfterUpdate(int failed, int open, std::uint64_t now) noexcept {
  if (failed > 0 && (!last_failure_rescan_ || now - *last_failure_rescan_ >= kFailedSendRescanMs)) {
    last_failure_rescan_ = now;
    return true;
  }
  if (open == 0 && (!last_rescan_ || now - *last_rescan_ >= kIdleRescanMs)) {
    // Counted from now, so a queued rescan that has not run yet is not asked
    // for twice.
    last_rescan_ = now;
    return true;
  }
  return false;
}

}  // namespace ostrel::device
