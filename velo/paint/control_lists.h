// A window's two z-ordered control lists, areas beneath and controls above,
// each under its own lock (never both at once). Nothing is called under a
// lock: dispatch works on a snapshot of ControlRefs, which turn null when a
// handler removes a control, and a control removed while a dispatch runs is
// destroyed once the outermost dispatch unwinds, when nothing on the stack
// can still be inside it.
#pragma once

#include <memory>
#include <vector>

#include "velo/core/control_ref.h"
#include "velo/core/critical_section.h"

namespace VELO {

class MControl;

class ControlLists {
 public:
  ControlLists() = default;
  ControlLists(const ControlLists&) = delete;
  ControlLists& operator=(const ControlLists&) = delete;
  ~ControlLists();

  // While one is alive, removed controls wait for it to end.
  class DispatchScope {
   public:
    explicit DispatchScope(ControlLists& lists) noexcept : lists_(lists) { ++lists_.m_dispatchDepth; }
    ~DispatchScope() {
      if (--lists_.m_dispatchDepth == 0) lists_.FlushDelayed();
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

   private:
    ControlLists& lists_;
  };

  MControl* Add(std::unique_ptr<MControl> control, bool areas);
  std::vector<ControlRef> Snapshot(bool areas);
  // Out of the control list; null when it is not there.
  std::unique_ptr<MControl> Take(MControl* control);
  std::vector<std::unique_ptr<MControl>> TakeAll(bool areas);

  // Keeps a removed control until the running dispatch ends; false when
  // none runs (the caller destroys it now).
  bool DeferDestroy(std::unique_ptr<MControl>& control);
  void FlushDelayed() noexcept;

 private:
  std::vector<std::unique_ptr<MControl>>& List(bool areas) noexcept { return areas ? m_areas : m_controls; }
  CriticalSection& Lock(bool areas) noexcept { return areas ? m_areaLock : m_controlLock; }

  std::vector<std::unique_ptr<MControl>> m_areas;
  std::vector<std::unique_ptr<MControl>> m_controls;
  CriticalSection m_areaLock;
  CriticalSection m_controlLock;
  int m_dispatchDepth = 0;
  std::vector<std::unique_ptr<MControl>> m_delayed;
};

}  // namespace VELO
