#include "velo/paint/control_lists.h"

#include <algorithm>
#include <utility>

#include "common/swallowed_failure.h"
#include "velo/core/mcontrol.h"

namespace VELO {

ControlLists::~ControlLists() { FlushDelayed(); }

MControl* ControlLists::Add(std::unique_ptr<MControl> control, bool areas) {
  MControl* borrowed = control.get();
  CriticalSectionGuard guard(Lock(areas));
  List(areas).push_back(std::move(control));
  return borrowed;
}

std::vector<ControlRef> ControlLists::Snapshot(bool areas) {
  std::vector<ControlRef> out;
  CriticalSectionGuard guard(Lock(areas));
  const auto& list = List(areas);
  out.reserve(list.size());
  for (const auto& c : list) out.emplace_back(c.get());
  return out;
}

std::unique_ptr<MControl> ControlLists::Take(MControl* control) {
  CriticalSectionGuard guard(m_controlLock);
  auto it = std::find_if(m_controls.begin(), m_controls.end(),
                         [control](const std::unique_ptr<MControl>& c) { return c.get() == control; });
  if (it == m_controls.end()) return nullptr;
  std::unique_ptr<MControl> taken = std::move(*it);
  m_controls.erase(it);
  return taken;
}

std::vector<std::unique_ptr<MControl>> ControlLists::TakeAll(bool areas) {
  std::vector<std::unique_ptr<MControl>> list;
  CriticalSectionGuard guard(Lock(areas));
  list.swap(List(areas));
  return list;
}

bool ControlLists::DeferDestroy(std::unique_ptr<MControl>& control) {
  if (m_dispatchDepth == 0 || !control) return false;
  try {
    m_delayed.push_back(std::move(control));
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return false;
  }
  return true;
}

void ControlLists::FlushDelayed() noexcept {
  // A destructor may remove further controls: take the list each turn.
  while (!m_delayed.empty()) {
    auto batch = std::exchange(m_delayed, {});
    for (auto& c : batch) {
      c->Detach();
      c.reset();
    }
  }
}

}  // namespace VELO
