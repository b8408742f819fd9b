// The multimedia-timer base. Timing under Wine is coarse: assertions only
// ask for a few ticks within seconds, and for none after a timer stopped.
#include "velo/core/rktimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using VELO::CString;
using VELO::RKTimer;

namespace {

struct Tick {
  UINT id;
  bool named;
  std::wstring name;
};

class TestTimer final : public RKTimer {
 public:
  TestTimer() = default;
  ~TestTimer() {
    KillTimer();
    destroyed = true;
  }

  void OnMTimer(UINT id) override {
    if (onTick) onTick(id);
    std::lock_guard guard(lock);
    ticks.push_back({id, false, {}});
  }
  void OnMTimer(UINT id, CString name) override {
    std::lock_guard guard(lock);
    ticks.push_back({id, true, name.str()});
  }
  int Count(UINT id, bool named) {
    std::lock_guard guard(lock);
    int n = 0;
    for (const auto& t : ticks) n += t.id == id && t.named == named ? 1 : 0;
    return n;
  }
  std::vector<Tick> Snapshot() {
    std::lock_guard guard(lock);
    return ticks;
  }

  std::mutex lock;
  std::vector<Tick> ticks;
  std::function<void(UINT)> onTick;
  std::atomic<bool> destroyed{false};
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

TEST(RKTimerTest, TableRecordsIdNameAndFlagAndRaisesTheResolution) {
  TestTimer t;
  const UINT id = t.SetTimer(50, L"blink", 1);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(RKTimer::m_bIsTmierOK, 1);
  EXPECT_GE(RKTimer::m_uAccuracy, 1u);
  EXPECT_EQ(t.GetTimerIsRun(id), 1);
  EXPECT_EQ(t.GetTimerIsRun(L"blink"), 1);
  EXPECT_EQ(t.GetTimerIsRun(L"Blink"), 0);
  EXPECT_EQ(t.GetTimerName(id), L"blink");
  EXPECT_EQ(t.IsAppTimer(id), 1);
  EXPECT_EQ(t.GetTimerName(id + 1000), L"");
  EXPECT_EQ(t.IsAppTimer(id + 1000), 0);
  EXPECT_EQ(t.GetTimerIsRun(id + 1000), 0);
  EXPECT_EQ(t.GetTimerCount(), 1);
}

TEST(RKTimerTest, AppTimersDeliverBothCallbacksPlainFirst) {
  TestTimer t;
  const UINT app = t.SetTimer(5, L"app", 1);
  const UINT plain = t.SetTimer(5, L"plain", 0);
  ASSERT_TRUE(WaitFor([&] { return t.Count(app, true) >= 3 && t.Count(plain, false) >= 3; }));
  t.KillTimer();
  EXPECT_EQ(t.Count(plain, true), 0);
  const std::vector<Tick> ticks = t.Snapshot();
  for (size_t i = 0; i < ticks.size(); ++i) {
    if (ticks[i].id != app) continue;
    if (ticks[i].named) {
      EXPECT_EQ(ticks[i].name, L"app");
    } else if (i + 1 < ticks.size()) {
      // The named callback follows its plain one directly (one timer thread).
      EXPECT_TRUE(ticks[i + 1].id == app && ticks[i + 1].named) << "tick " << i;
    }
  }
}

TEST(RKTimerTest, KillTimerByIdStopsOnlyThatTimer) {
  TestTimer t;
  const UINT a = t.SetTimer(5, L"a", 0);
  const UINT b = t.SetTimer(5, L"b", 0);
  ASSERT_TRUE(WaitFor([&] { return t.Count(a, false) >= 1 && t.Count(b, false) >= 1; }));
  EXPECT_EQ(t.KillTimer(a + b + 1000), 2);  // unknown id: nothing stopped
  EXPECT_EQ(t.KillTimer(a), 1);
  EXPECT_EQ(t.GetTimerIsRun(a), 0);
  const int settled = t.Count(a, false);
  const int bBefore = t.Count(b, false);
  ASSERT_TRUE(WaitFor([&] { return t.Count(b, false) >= bBefore + 3; }));
  EXPECT_EQ(t.Count(a, false), settled);  // no tick after KillTimer returned
  EXPECT_EQ(t.KillTimer(b), 0);
}

TEST(RKTimerTest, KillTimerByNameStopsTheFirstOfThatName) {
  TestTimer t;
  const UINT first = t.SetTimer(5, L"same", 0);
  const UINT second = t.SetTimer(5, L"same", 0);
  EXPECT_EQ(t.KillTimer(L"same"), 1);
  EXPECT_EQ(t.GetTimerIsRun(first), 0);
  EXPECT_EQ(t.GetTimerIsRun(second), 1);
  EXPECT_EQ(t.GetTimerIsRun(L"same"), 1);
  EXPECT_EQ(t.KillTimer(L"other"), 1);
  const int settled = t.Count(first, false);
  ASSERT_TRUE(WaitFor([&] { return t.Count(second, false) >= 3; }));
  EXPECT_EQ(t.Count(first, false), settled);
  EXPECT_EQ(t.KillTimer(L"same"), 0);
}

TEST(RKTimerTest, GetFSTimerSearchesEveryLiveObject) {
  auto first = std::make_unique<TestTimer>();
  auto second = std::make_unique<TestTimer>();
  const UINT a = first->SetTimer(100, L"", 0);
  const UINT b = second->SetTimer(100, L"", 0);
  EXPECT_EQ(RKTimer::GetFSTimer(a), first.get());
  EXPECT_EQ(RKTimer::GetFSTimer(b), second.get());
  EXPECT_EQ(RKTimer::GetFSTimer(0), nullptr);
  second.reset();
  EXPECT_EQ(RKTimer::GetFSTimer(b), nullptr);
  EXPECT_EQ(RKTimer::GetFSTimer(a), first.get());
}

TEST(RKTimerTest, TimersKillThemselvesFromTheirCallback) {
  TestTimer t;
  std::atomic<int> calls{0};
  std::atomic<UINT> id{0};
  std::atomic<bool> started{false};
  t.onTick = [&](UINT tick) {
    if (!started || tick != id) return;
    ++calls;
    t.KillTimer(tick);  // must not wait for itself
  };
  id = t.SetTimer(5, L"", 0);
  started = true;
  ASSERT_TRUE(WaitFor([&] { return t.GetTimerIsRun(id) == 0; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(calls, 1);
}

TEST(RKTimerTest, DestructionWaitsForARunningCallback) {
  auto t = std::make_unique<TestTimer>();
  std::atomic<bool> inCallback{false};
  std::atomic<bool> release{false};
  std::atomic<bool> callbackFinished{false};
  t->onTick = [&](UINT) {
    if (inCallback.exchange(true)) return;
    while (!release) std::this_thread::sleep_for(1ms);
    callbackFinished = true;
  };
  t->SetTimer(5, L"", 0);
  ASSERT_TRUE(WaitFor([&] { return inCallback.load(); }));

  std::atomic<bool> destroyed{false};
  std::thread destroyer([&] {
    t.reset();
    destroyed = true;
  });
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(destroyed);  // still inside OnMTimer: the object must live on
  release = true;
  destroyer.join();
  EXPECT_TRUE(callbackFinished);
}

// Objects that are destroyed while their 1 ms timers run: every callback
// checks that its object is still whole.
TEST(RKTimerTest, NoCallbackReachesADestroyedObject) {
  std::atomic<int> intoDestroyed{0};
  std::atomic<int> ticks{0};
  for (int round = 0; round < 30; ++round) {
    auto t = std::make_unique<TestTimer>();
    TestTimer* raw = t.get();
    t->onTick = [&intoDestroyed, &ticks, raw](UINT) {
      if (raw->destroyed) ++intoDestroyed;
      ++ticks;
    };
    t->SetTimer(1, L"", 1);
    t->SetTimer(1, L"x", 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
    t.reset();
  }
  EXPECT_EQ(intoDestroyed, 0);
  EXPECT_GT(ticks, 0);
}

// Destroys itself on its first tick and touches nothing afterwards.
class SelfDestroyingTimer final : public RKTimer {
 public:
  SelfDestroyingTimer(std::unique_ptr<SelfDestroyingTimer>* holder, std::atomic<int>* namedCalls)
      : holder_(holder), namedCalls_(namedCalls) {}
  ~SelfDestroyingTimer() { KillTimer(); }
  void OnMTimer(UINT) override { holder_->reset(); }
  void OnMTimer(UINT, CString) override { ++*namedCalls_; }

 private:
  std::unique_ptr<SelfDestroyingTimer>* holder_;
  std::atomic<int>* namedCalls_;
};

TEST(RKTimerTest, AnObjectMayBeDestroyedFromItsOwnCallback) {
  std::atomic<int> namedCalls{0};
  std::unique_ptr<SelfDestroyingTimer> holder;
  holder = std::make_unique<SelfDestroyingTimer>(&holder, &namedCalls);
  const UINT id = holder->SetTimer(5, L"named", 1);
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(WaitFor([&] { return RKTimer::GetFSTimer(id) == nullptr; }));
  std::this_thread::sleep_for(50ms);
  // The plain callback destroyed it: the named one of that tick is not sent.
  EXPECT_EQ(namedCalls, 0);
  EXPECT_EQ(holder, nullptr);
}

}  // namespace
