// When the worker rescans on its own, without a device notification: a
// display that stops taking reports, or one that arrives unannounced (after
// sleep, under Wine, on a missed broadcast), would otherwise never be served
// again. Times are milliseconds of any steady clock.
#pragma once

#include <cstdint>
#include <optional>

namespace ostrel::device {

// At most one rescan per this long for failed sends.
inline constexpr std::uint64_t kFailedSendRescanMs = 5000;
// While no display is open, a rescan this long after the last one.
inline constexpr std::uint64_t kIdleRescanMs = 10000;

class RescanPolicy {
 public:
  // After an update step in which `failed` displays refused the report, with
  // `open` displays open: true when one rescan should be queued now.
  bool AfterUpdate(int failed, int open, std::uint64_t now) noexcept;
  // Any rescan, whatever asked for it.
  void Rescanned(std::uint64_t now) noexcept { last_rescan_ = now; }

 private:
  std::optional<std::uint64_t> last_rescan_;
  std::optional<std::uint64_t> last_failure_rescan_;
};

}  // namespace ostrel::device
