// What the worker needs of the displays: rescan, count, report. The registry
// over hidapi is the one implementation, on Windows and Linux alike; the
// seam keeps the heartbeat free of the process-wide object.
#pragma once

#include <cstdint>
#include <functional>

#include "device/protocol/temperature_report.h"

namespace ostrel::device {

// How many open displays took a report and how many refused it.
struct SendTally {
  int accepted = 0;
  int failed = 0;
};

// Waits before another attempt to open a display; false: give up (the
// worker is stopping). Empty: one attempt only.
using OpenPause = std::function<bool(std::uint32_t ms)>;

class DisplayBus {
 public:
  // Drops every display and opens them afresh.
  virtual void Rescan(const OpenPause& pause) noexcept = 0;
  // Safe from any thread.
  virtual int DeviceCount() const noexcept = 0;
  virtual SendTally SendReportCounted(const TemperatureReport& report) noexcept = 0;

 protected:
  ~DisplayBus() = default;
};

}  // namespace ostrel::device
