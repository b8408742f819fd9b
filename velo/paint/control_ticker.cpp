#include "velo/paint/control_ticker.h"

#include <algorithm>

#include "common/swallowed_failure.h"
#include "velo/core/mcontrol.h"

namespace VELO {

int ControlTicker::Add(MControl* control) noexcept {
  if (!control) return 0;
  CriticalSectionGuard guard(m_lock);
  try {
    m_controls.emplace_back(control);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return 0;
  }
  return 1;
}

bool ControlTicker::Remove(MControl* control) noexcept {
  CriticalSectionGuard guard(m_lock);
  std::erase_if(m_controls, [](const ControlRef& r) { return !r.Get(); });
  auto it = std::find_if(m_controls.begin(), m_controls.end(),
                         [control](const ControlRef& r) { return r.Get() == control; });
  if (it == m_controls.end()) return false;
  m_controls.erase(it);
  return true;
}

void ControlTicker::Clear() noexcept {
  CriticalSectionGuard guard(m_lock);
  m_controls.clear();
}

size_t ControlTicker::Count() noexcept {
  CriticalSectionGuard guard(m_lock);
  return m_controls.size();
}

void ControlTicker::Tick() {
  std::vector<ControlRef> copy;
  {
    CriticalSectionGuard guard(m_lock);
    copy = m_controls;
  }
  for (const ControlRef& r : copy) r.Call([](MControl* c) { c->OnTimer(); });
}

}  // namespace VELO
