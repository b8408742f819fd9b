// Controls ticked by their window's high-resolution control timer, on the
// multimedia timer thread. Timing under Wine is coarse: only counts that any
// working timer reaches within seconds are asserted.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "tests/velo/control_test_support.h"
#include "velo/paint/paint_manager.h"

using namespace velo_test;
using namespace std::chrono_literals;

namespace {

// Counts ticks without logging (the tick runs on another thread).
class TickingControl : public VELO::MControl {
 public:
  TickingControl(UINT id, std::atomic<int>* ticks)
      : MControl(nullptr, id, CRect(0, 0, 10, 10), 1, 1, 1), ticks_(ticks) {}
  const wchar_t* GetClassNameW() const override { return L"TickingControl"; }
  void DrawControl(HDC&, CRect) override {}
  int OnControlTimer() override {
    ++*ticks_;
    return 1;
  }

 private:
  std::atomic<int>* ticks_;
};

template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit = 3000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST(ControlTimer, RegisteredControlsAndTheirRunningChildrenAreTicked) {
  std::atomic<int> parentTicks{0}, childTicks{0}, idleChildTicks{0};
  VELO::PaintManager manager;
  auto parent = std::make_unique<TickingControl>(1, &parentTicks);
  parent->SetManager(&manager);
  VELO::MControl* child = parent->AddControl(std::make_unique<TickingControl>(2, &childTicks));
  parent->AddControl(std::make_unique<TickingControl>(3, &idleChildTicks));
  child->SetRunTimer(1);
  EXPECT_EQ(parent->AddMTimer(), 1);

  const UINT id = manager.SetMTimer(5);
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(WaitFor([&] { return parentTicks >= 3 && childTicks >= 3; }));
  EXPECT_EQ(idleChildTicks, 0);

  // Gone from the list: no more ticks for it.
  EXPECT_TRUE(manager.DeleteFSTimer(parent.get()));
  EXPECT_FALSE(manager.DeleteFSTimer(parent.get()));
  std::this_thread::sleep_for(30ms);  // a tick in flight ends under the list lock
  const int settled = parentTicks;
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(parentTicks, settled);
  manager.KillMTimer();
}

TEST(ControlTimer, OnlyTheLastControlTimerTicksTheControls) {
  std::atomic<int> ticks{0};
  VELO::PaintManager manager;
  TickingControl c(1, &ticks);
  c.SetManager(&manager);
  c.AddMTimer();
  const UINT first = manager.SetMTimer(5);
  const UINT second = manager.SetMTimer(5);
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
  manager.KillMTimer(second);
  EXPECT_EQ(manager.GetTimerIsRun(first), 1);
  const int settled = ticks;
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks, settled);  // the first one still runs, and is ignored
  manager.KillMTimer();
  EXPECT_EQ(manager.GetTimerCount(), 0);
}

TEST(ControlTimer, AControlDestroyedWhileRegisteredIsNoLongerTicked) {
  std::atomic<int> ticks{0};
  VELO::PaintManager manager;
  manager.SetMTimer(1);
  for (int round = 0; round < 20; ++round) {
    auto c = std::make_unique<TickingControl>(1, &ticks);
    c->SetManager(&manager);
    c->AddMTimer();
    c->AddMTimer();  // duplicates are allowed, and all go with the control
    const int before = ticks;
    WaitFor([&] { return ticks > before; }, 500ms);
    VELO::MControl* const gone = c.get();
    c.reset();  // never DeleteFSTimer'd
    // Both registrations left the list with it (only the address is compared).
    EXPECT_FALSE(manager.DeleteFSTimer(gone));
  }
  EXPECT_GT(ticks, 0);
  manager.KillMTimer();
}

TEST(ControlTimer, WindowTimersAreFoundAcrossPaintManagers) {
  VELO::PaintManager first, second;
  const UINT a = first.SetMTimer(50);
  const UINT b = second.SetMTimer(50);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(VELO::RKTimer::GetFSTimer(a), &first);
  EXPECT_EQ(VELO::RKTimer::GetFSTimer(b), &second);
  second.KillMTimer();
  EXPECT_EQ(VELO::RKTimer::GetFSTimer(b), nullptr);
}

}  // namespace
