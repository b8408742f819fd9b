// What must never crash or hang: GDI and USER objects left behind, a null
// owner, a duplicate id, controls removed while they hold the capture, the
// focus or a timer, and a control removed from a handler while the
// high-resolution timer ticks its parent.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/velo/control_test_support.h"
#include "tests/velo/paint_support.h"
#include "velo/controls/carea.h"
#include "velo/controls/mbutton.h"
#include "velo/controls/mpicture.h"
#include "velo/controls/mtext.h"

using namespace velo_test;

namespace {

TEST(PaintLeaks, AWindowWithEveryControlPaintedAThousandTimesLeavesNoObjects) {
  ASSERT_TRUE(SavePng(*MakeStrip({0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF404040u}, 8, 8), L"leak.png"));
  const auto cycle = [](int frames) {
    HostWindow w(100, 500, 340, 250, true);
    ASSERT_TRUE(w.pm.LoadBKImage(L"leak.png"));
    w.pm.EnableDrawInfo(TRUE);
    w.pm.CreateArea(&w, L"CArea", 1, CRect(0, 0, 340, 60), nullptr, 1, 1);
    auto* pic = static_cast<VELO::MPicture*>(
        w.pm.CreateControl(&w, L"MPicture", 2, CRect(10, 70, 60, 120), nullptr, 1, 1));
    pic->SetImage(L"leak.png", 4);
    auto* text =
        static_cast<VELO::MText*>(w.pm.CreateControl(&w, L"MText", 3, CRect(70, 70, 200, 90), L"text", 1, 1));
    auto* button = static_cast<VELO::MButton*>(
        w.pm.CreateControl(&w, L"MButton", 4, CRect(210, 70, 300, 100), L"OK", 1, 1));
    button->SetImage(L"leak.png", 4);
    button->SetIconImage(L"leak.png", 4);
    button->GetGDIFont();
    w.pm.SetMessage(L"message", CRect(10, 150, 200, 200), VELO::MSG_INFO);
    text->SetTooltip(L"tip");
    Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(80, 80));
    ostrel::win::unique_window_dc screen(nullptr);
    CRect client;
    w.pm.GetClientRect(client);
    for (int i = 0; i < frames; ++i) {
      if (i % 100 == 0) {
        for (VELO::MControl* c : w.pm.GetControls()) w.pm.OnControlUpdate(c->GetRect(), 1, c);
      }
      ASSERT_TRUE(w.pm.PaintFrame(screen.get(), client));
    }
    PaintNow(w.hwnd());
  };
  // First uses make what lives for the process (window classes, fonts,
  // Wine's cache of window DCs, which settles on the second window).
  cycle(50);
  cycle(50);
  Pump(50);
  const int gdi = GdiObjectCount();
  const DWORD user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  const int windows = ThreadWindowCount();
  cycle(1000);
  Pump(50);
  EXPECT_EQ(GdiObjectCount(), gdi);
  EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), user);
  EXPECT_EQ(ThreadWindowCount(), windows);
  EXPECT_GT(gdi, 0);
}

class Counting : public VELO::MControl {
 public:
  Counting(VELO::MObject* owner, UINT id, std::atomic<int>* ticks)
      : MControl(owner, id, CRect(0, 0, 1, 1), 1, 1, 1), ticks_(ticks) {}
  void DrawControl(HDC&, CRect) override {}
  int OnControlTimer() override {
    ++*ticks_;
    return 0;
  }

 private:
  std::atomic<int>* ticks_;
};

TEST(PaintBadInput, NullOwnerDuplicateIdsAndControlsRemovedWhileInUse) {
  std::atomic<int> ticks{0};
  HostWindow w(400, 500, 300, 120, true);

  // A null owner: notifications and repaint requests have nowhere to go.
  auto* orphan = static_cast<VELO::MButton*>(
      w.pm.CreateControl(nullptr, L"MButton", 1, CRect(10, 10, 60, 40), L"x", 1, 1));
  ASSERT_NE(orphan, nullptr);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(20, 20));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(20, 20), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(20, 20));
  orphan->SetEnabled(0);
  PaintNow(w.hwnd());

  // The same id twice: both live, the first one is found, removing it
  // uncovers the second.
  VELO::MControl* first = w.pm.CreateControl(&w, L"MButton", 7, CRect(70, 10, 120, 40), L"a", 1, 1);
  VELO::MControl* second = w.pm.CreateControl(&w, L"MButton", 7, CRect(130, 10, 180, 40), L"b", 1, 1);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(w.pm.GetControl(7), first);
  w.pm.RemoveControl(first);
  EXPECT_EQ(w.pm.GetControl(7), second);

  // Removed by its owner while it holds the capture (from its own press
  // notification): destroyed after the dispatch, capture given back on the
  // release, no call into it afterwards.
  w.onNote = [&](UINT id, UINT code) {
    if (id == 7 && code == 1) w.pm.RemoveControl(w.pm.GetControl(7));
  };
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(140, 20));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(140, 20), MK_LBUTTON);
  EXPECT_EQ(w.pm.GetControl(7), nullptr);
  EXPECT_EQ(w.pm.GetHoverControl(), nullptr);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(150, 25), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(150, 25));
  EXPECT_EQ(::GetCapture(), nullptr);
  w.onNote = nullptr;
  PaintNow(w.hwnd());

  // Removed while it has the focus: the focus clears, Tab goes on.
  VELO::MControl* a = w.pm.CreateControl(&w, L"MButton", 20, CRect(10, 60, 60, 90), L"", 1, 1);
  VELO::MControl* b = w.pm.CreateControl(&w, L"MButton", 21, CRect(70, 60, 120, 90), L"", 1, 1);
  a->SetTabStop(1);
  b->SetTabStop(1);
  w.pm.SetFocusControl(a);
  w.pm.RemoveControl(a);
  EXPECT_EQ(w.pm.GetFocusControl(), nullptr);
  EXPECT_EQ(w.pm.GetNextFocusableControl(), b);

  // Removed with a window timer and a high-resolution tick running: no call
  // reaches it, and its window timer is stopped on its next tick.
  EventLog log;
  auto timed = std::make_unique<TestControl>(&w, 30, CRect(200, 60, 250, 90), &log);
  TestControl* t = timed.get();
  w.pm.AddControl(std::move(timed), 1);
  ASSERT_TRUE(w.pm.SetTimer(t, 5, 10));
  EXPECT_FALSE(w.pm.SetTimer(t, 5, 10));  // live already
  const UINT windowId = w.pm.GetWindowTimerID(t, 5);
  EXPECT_EQ(windowId, 17u);  // (4096 + 1) mod 240
  ASSERT_TRUE(w.pm.KillTimer(t, 5));
  ASSERT_TRUE(w.pm.SetTimer(t, 5, 10));  // re-armed with the same id
  EXPECT_EQ(w.pm.GetWindowTimerID(t, 5), windowId);
  for (int i = 0; i < 50 && log.Count(Of("timer", 30)) < 3; ++i) Pump(20);
  EXPECT_GE(log.Count(Of("timer", 30)), 3);
  // The high-resolution ticks run on another thread: a counter, not the log.
  auto ticked = std::make_unique<Counting>(&w, 31, &ticks);
  Counting* c = ticked.get();
  w.pm.AddControl(std::move(ticked), 1);
  w.pm.AddMTimer(c);
  w.pm.SetMTimer(2);
  for (int i = 0; i < 50 && ticks < 3; ++i) Pump(20);
  EXPECT_GE(ticks.load(), 3);
  w.pm.RemoveControl(t);
  w.pm.RemoveControl(c);
  EXPECT_EQ(log.Count(Of("destroy", 30)), 1);
  log.Clear();
  const int settled = ticks;
  Pump(200);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(ticks.load(), settled);
  EXPECT_FALSE(w.pm.DeleteFSTimer(c));
  w.pm.KillMTimer();
}

// A parent ticked by the high-resolution timer whose child, in a mouse
// handler (the UI thread holds the parent's child lock there), removes a
// sibling while the parent's tick is running. When a tick called controls
// under the timer-control lock and then took the parent's child lock, and a
// destructor took the timer-control lock, this hung; the CTest timeout then
// fails it.
class Parent : public TestControl {
 public:
  using TestControl::TestControl;
  int OnControlTimer() override {
    if (!started.exchange(true)) {
      ::SetEvent(tickStarted);
      ::WaitForSingleObject(uiInHandler, 5000);
    }
    return 0;
  }
  std::atomic<bool> started{false};
  HANDLE tickStarted = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE uiInHandler = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

TEST(PaintLockOrder, RemovingASiblingInAHandlerWhileTheParentTicksDoesNotDeadlock) {
  HostWindow w(400, 700, 200, 100, true);
  EventLog log;
  auto owned = std::make_unique<Parent>(&w, 1, CRect(0, 0, 200, 100), &log);
  Parent* parent = owned.get();
  w.pm.AddControl(std::move(owned), 1);
  auto* handlerChild = static_cast<TestControl*>(
      parent->AddControl(std::make_unique<TestControl>(parent, 2, CRect(0, 0, 100, 100), &log)));
  VELO::MControl* sibling =
      parent->AddControl(std::make_unique<TestControl>(parent, 3, CRect(100, 0, 200, 100), &log));
  handlerChild->onMove = [&] {
    if (parent->GetControl(3) != sibling) return;
    ::SetEvent(parent->uiInHandler);
    ::WaitForSingleObject(parent->tickStarted, 5000);
    ::Sleep(50);  // let the tick go on towards the parent's children
    parent->RemoveControl(sibling);
  };
  w.pm.AddMTimer(parent);
  ASSERT_NE(w.pm.SetMTimer(1), 0u);
  ASSERT_EQ(::WaitForSingleObject(parent->tickStarted, 5000), WAIT_OBJECT_0);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(50, 50));
  EXPECT_EQ(parent->GetControl(3), nullptr);
  EXPECT_EQ(log.Count(Of("destroy", 3)), 1);  // after the dispatch unwound
  Pump(50);
  w.pm.KillMTimer();
  ::CloseHandle(parent->tickStarted);
  ::CloseHandle(parent->uiInHandler);
}

}  // namespace

namespace {

// The same with the ticked parent itself removed from its child's handler:
// the removal must not wait for the tick, which waits for the parent's child
// lock that the handler's caller holds.
TEST(PaintLockOrder, RemovingTheTickedParentFromItsChildsHandlerDoesNotDeadlock) {
  HostWindow w(400, 700, 200, 100, true);
  EventLog log;
  auto owned = std::make_unique<Parent>(&w, 1, CRect(0, 0, 200, 100), &log);
  Parent* parent = owned.get();
  w.pm.AddControl(std::move(owned), 1);
  auto* child = static_cast<TestControl*>(
      parent->AddControl(std::make_unique<TestControl>(parent, 2, CRect(0, 0, 100, 100), &log)));
  child->onMove = [&] {
    if (w.pm.GetControl(1) != parent) return;
    ::SetEvent(parent->uiInHandler);
    ::WaitForSingleObject(parent->tickStarted, 5000);
    ::Sleep(50);
    w.pm.RemoveControl(parent);
    EXPECT_EQ(log.Count(Of("destroy", 1)), 0);  // not while the handler runs
  };
  const HANDLE tickStarted = parent->tickStarted;
  const HANDLE uiInHandler = parent->uiInHandler;
  w.pm.AddMTimer(parent);
  ASSERT_NE(w.pm.SetMTimer(1), 0u);
  ASSERT_EQ(::WaitForSingleObject(tickStarted, 5000), WAIT_OBJECT_0);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(50, 50));
  EXPECT_EQ(w.pm.GetControl(1), nullptr);
  EXPECT_EQ(log.Count(Of("destroy", 1)), 1);
  EXPECT_EQ(log.Count(Of("destroy", 2)), 1);
  log.Clear();
  Pump(50);
  EXPECT_TRUE(log.events.empty());  // no tick reaches the removed parent
  w.pm.KillMTimer();
  ::CloseHandle(tickStarted);
  ::CloseHandle(uiInHandler);
}

}  // namespace
