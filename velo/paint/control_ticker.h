// The controls ticked by the window's high-resolution timer, on the
// multimedia timer thread. The list is copied under its lock and the
// controls are called without it: a tick holds no lock of the window while a
// control runs (which takes its own child lock), so the UI thread, which
// holds child locks while it routes input, can never wait on it in the
// opposite order. Each call holds the control's own life lock instead, so a
// control is not destroyed in the middle of its tick.
#pragma once

#include <vector>

#include "velo/core/control_ref.h"
#include "velo/core/critical_section.h"

namespace VELO {

class ControlTicker {
 public:
  ControlTicker() = default;
  ControlTicker(const ControlTicker&) = delete;
  ControlTicker& operator=(const ControlTicker&) = delete;

  // Duplicates are kept; Remove takes the first live entry of the control.
  int Add(MControl* control) noexcept;
  bool Remove(MControl* control) noexcept;
  void Clear() noexcept;
  void Tick();
  size_t Count() noexcept;

 private:
  CriticalSection m_lock;
  std::vector<ControlRef> m_controls;
};

}  // namespace VELO
