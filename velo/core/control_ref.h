// A borrowed control pointer that knows when its control has gone. Every
// control carries a shared life record; a ControlRef keeps a weak reference to
// it, so the window's hover, focus and timer lists, and a parent's active
// child, turn null by themselves instead of relying on a hand-called "forget".
//
// The record's lock also orders a timer tick (another thread) against the
// control's end: Kill waits for a running Call and no Call starts after it.
#pragma once

#include <atomic>
#include <memory>

#include "velo/core/critical_section.h"

namespace VELO {

class MControl;

struct ControlLife {
  CriticalSection lock;
  std::atomic<bool> alive{true};

  // Waits for a running Call; none starts afterwards.
  void Kill() noexcept {
    CriticalSectionGuard guard(lock);
    alive = false;
  }
  // Without waiting: refs read null at once, a running Call goes on.
  void MarkGone() noexcept { alive = false; }
};

class ControlRef {
 public:
  ControlRef() noexcept = default;
  ControlRef(MControl* control) noexcept;  // NOLINT: implicit, like the pointer it replaces
  ControlRef& operator=(MControl* control) noexcept { return *this = ControlRef(control); }

  // The control while it lives (and is not detached for destruction), else null.
  MControl* Get() const noexcept {
    const auto life = life_.lock();
    return life && life->alive ? control_ : nullptr;
  }
  // The address only, for comparisons with a control that may be gone.
  MControl* Address() const noexcept { return control_; }
  explicit operator bool() const noexcept { return Get() != nullptr; }
  bool operator==(const MControl* other) const noexcept { return Get() == other; }

  // Runs f(control) with the control kept alive for the call; false when the
  // control is gone.
  template <typename F>
  bool Call(F&& f) const {
    const auto life = life_.lock();
    if (!life) return false;
    CriticalSectionGuard guard(life->lock);
    if (!life->alive) return false;
    f(control_);
    return true;
  }

 private:
  MControl* control_ = nullptr;
  std::weak_ptr<ControlLife> life_;
};

}  // namespace VELO
