// The control tree: ownership, search, drawing order, repaint requests to
// the owner, the two child-list locks and the off-screen buffers.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <utility>

#include "tests/velo/control_test_support.h"
#include "velo/paint/paint_manager.h"

using namespace velo_test;
using VELO::MControl;

namespace {

TestControl* AddTo(TestControl* host, UINT id, CRect rc, EventLog* log) {
  return static_cast<TestControl*>(host->AddControl(std::make_unique<TestControl>(host, id, rc, log)));
}
TestControl* AddAreaTo(TestControl* host, UINT id, CRect rc, EventLog* log) {
  return static_cast<TestControl*>(host->AddArea(std::make_unique<TestControl>(host, id, rc, log)));
}

TEST(ControlTree, ConstructionDefaults) {
  EventLog log;
  TestOwner owner;
  TestControl c(&owner, 7, CRect(1, 2, 3, 4), &log, 1, 0, 1);
  EXPECT_STREQ(static_cast<MControl&>(c).MControl::GetClassNameW(), L"MControl");
  EXPECT_EQ(c.GetManager(), nullptr);
  EXPECT_EQ(c.IsEnabled(), 0);
  EXPECT_EQ(c.IsOutside(), 1);  // the only flag that starts set
  EXPECT_EQ(c.GetDblClk() | c.IsPressed() | c.IsFocused() | c.GetUpdate() | c.IsRunTimer(), 0);
}

TEST(ControlTree, ChildrenAreOwnedAndDeletedWithTheirParent) {
  EventLog log;
  TestOwner owner;
  {
    TestControl parent(&owner, 1, CRect(0, 0, 100, 100), &log);
    TestControl* child = AddTo(&parent, 2, CRect(0, 0, 10, 10), &log);
    AddTo(child, 3, CRect(0, 0, 5, 5), &log);
    AddAreaTo(&parent, 4, CRect(0, 0, 10, 10), &log);
    EXPECT_EQ(parent.GetControls(), (std::vector<MControl*>{child}));
    EXPECT_EQ(parent.GetAreaControls().size(), 1u);
  }
  EXPECT_EQ(log.Count(Of("destroy", 2)), 1);
  EXPECT_EQ(log.Count(Of("destroy", 3)), 1);
  EXPECT_EQ(log.Count(Of("destroy", 4)), 1);
}

TEST(ControlTree, GetControlSearchesDepthFirstThenAreas) {
  EventLog log;
  TestOwner owner;
  TestControl root(&owner, 1, CRect(0, 0, 100, 100), &log);
  TestControl* first = AddTo(&root, 10, CRect(), &log);
  TestControl* grandchild = AddTo(first, 30, CRect(), &log);
  TestControl* laterSibling = AddTo(&root, 30, CRect(), &log);
  TestControl* area = AddAreaTo(&root, 40, CRect(), &log);
  TestControl* areaChild = AddTo(area, 50, CRect(), &log);
  TestControl* shadowedArea = AddAreaTo(&root, 10, CRect(), &log);

  EXPECT_EQ(root.GetControl(30), grandchild);
  EXPECT_NE(root.GetControl(30), laterSibling);
  EXPECT_EQ(root.GetControl(10), first);
  EXPECT_NE(root.GetControl(10), shadowedArea);
  EXPECT_EQ(root.GetControl(40), area);
  EXPECT_EQ(root.GetControl(50), areaChild);
  EXPECT_EQ(root.GetControl(99), nullptr);
  EXPECT_EQ(root.GetControl(1), nullptr);  // itself is not searched
}

TEST(ControlTree, RemoveControlDropsTheFocusAndDeletesOnlyOwnChildren) {
  EventLog log;
  TestOwner owner;
  VELO::PaintManager manager;
  TestControl root(&owner, 1, CRect(0, 0, 100, 100), &log);
  root.SetManager(&manager);
  TestControl* child = AddTo(&root, 2, CRect(0, 0, 50, 50), &log);
  TestControl* other = AddTo(&root, 3, CRect(50, 0, 100, 50), &log);
  TestControl* grandchild = AddTo(child, 4, CRect(), &log);

  root.OnMouseMove(0, CPoint(10, 10));
  ASSERT_EQ(root.GetActiveChild(), child);
  manager.SetFocusControl(child);
  log.Clear();

  EXPECT_EQ(root.RemoveControl(grandchild), 0);  // not root's own child
  EXPECT_EQ(log.Count(Of("destroy", 4)), 0);

  root.RemoveControl(child);
  EXPECT_EQ(log.events, (std::vector<std::string>{Of("unfocus", 2), Of("unfocus", 4), Of("destroy", 2),
                                                  Of("destroy", 4)}));
  EXPECT_EQ(manager.GetFocusControl(), nullptr);
  EXPECT_EQ(root.GetActiveChild(), nullptr);
  EXPECT_EQ(root.GetControls(), (std::vector<MControl*>{other}));

  // Routing goes on without the removed child.
  root.OnLButtonDown(0, CPoint(10, 10));
  EXPECT_EQ(root.GetActiveChild(), nullptr);

  root.RemoveAllControl();
  EXPECT_TRUE(root.GetControls().empty());
  EXPECT_EQ(log.Count(Of("destroy", 3)), 1);
}

TEST(ControlTree, DestroyedFocusControlIsForgottenByTheWindow) {
  EventLog log;
  TestOwner owner;
  VELO::PaintManager manager;
  auto c = std::make_unique<TestControl>(&owner, 5, CRect(), &log);
  c->SetManager(&manager);
  manager.SetFocusControl(c.get());
  c.reset();
  EXPECT_EQ(manager.GetFocusControl(), nullptr);
}

TEST(ControlDrawing, AreasThenTheControlThenSubControlsInListOrder) {
  EventLog log;
  TestOwner owner;
  TestControl root(&owner, 1, CRect(0, 0, 100, 100), &log);
  AddAreaTo(&root, 2, CRect(0, 0, 100, 100), &log);
  AddAreaTo(&root, 3, CRect(200, 200, 300, 300), &log);  // off the control: skipped
  AddTo(&root, 4, CRect(0, 0, 10, 10), &log);
  TestControl* hidden = AddTo(&root, 5, CRect(0, 0, 10, 10), &log);
  hidden->SetVisible(0, 0);
  TestControl* top = AddTo(&root, 6, CRect(0, 0, 10, 10), &log);
  AddTo(top, 7, CRect(0, 0, 5, 5), &log);
  AddTo(&root, 8, CRect(90, 90, 100, 100), &log);  // off the paint area: skipped

  HDC dc = nullptr;
  root.Draw(dc, CRect(0, 0, 50, 50));
  EXPECT_EQ(log.events, (std::vector<std::string>{"draw 2", "draw 1", "draw 4", "draw 6", "draw 7"}));

  log.Clear();
  root.Draw(dc, CRect(500, 500, 600, 600));
  EXPECT_TRUE(log.events.empty());
  root.SetVisible(0, 0);
  root.Draw(dc, CRect(0, 0, 50, 50));
  EXPECT_TRUE(log.events.empty());
}

TEST(ControlUpdate, StateChangesAskTheOwnerToRepaint) {
  EventLog log;
  TestOwner owner;
  TestControl c(&owner, 9, CRect(10, 10, 20, 20), &log);

  c.SetRect(CRect(30, 30, 40, 45));
  ASSERT_EQ(owner.updates.size(), 1u);
  EXPECT_EQ(owner.updates[0].rc, CRect(10, 10, 40, 45));  // old ∪ new
  EXPECT_EQ(owner.updates[0].resetCache, 1);
  EXPECT_EQ(owner.updates[0].control, &c);
  c.SetRect(0, 0, 5, 6);
  EXPECT_EQ(c.GetRect(), CRect(0, 0, 5, 6));
  EXPECT_EQ(owner.updates.back().rc, CRect(0, 0, 40, 45));

  owner.updates.clear();
  c.SetVisible(1);  // unchanged
  EXPECT_TRUE(owner.updates.empty());
  c.SetVisible(0);  // hiding repaints what it covered
  ASSERT_EQ(owner.updates.size(), 1u);
  EXPECT_EQ(owner.updates[0].rc, CRect(0, 0, 5, 6));
  c.SetRect(CRect(1, 1, 2, 2));  // hidden: no request
  c.SetEnabled(0);
  EXPECT_EQ(owner.updates.size(), 1u);
  EXPECT_EQ(c.IsEnabled(), 0);
  c.SetVisible(1, 0);
  EXPECT_EQ(owner.updates.size(), 1u);
  EXPECT_EQ(c.IsVisible(), 1);
  c.SetEnabled(1);
  EXPECT_EQ(owner.updates.size(), 2u);

  owner.updates.clear();
  c.UpdateControl(0, 0);
  c.UpdateControl(CRect(5, 5, 6, 6), 0, 1);
  c.UpdateAControl(0, 0);
  ASSERT_EQ(owner.updates.size(), 3u);
  EXPECT_EQ(owner.updates[0].resetCache, 0);
  EXPECT_EQ(owner.updates[1].rc, CRect(5, 5, 6, 6));
  EXPECT_EQ(owner.updates[1].resetCache, 1);
  EXPECT_EQ(owner.updates[2].resetCache, 0);
  EXPECT_EQ(c.IsAnimating(), 1);
  c.UpdateAControl(1, 0);
  EXPECT_EQ(c.IsAnimating(), 0);

  c.SetVisible(0, 0);
  owner.updates.clear();
  c.UpdateControl(1, 0);
  EXPECT_TRUE(owner.updates.empty());
  c.UpdateControl(1, 1);  // forced
  EXPECT_EQ(owner.updates.size(), 1u);
}

TEST(ControlUpdate, SetUpdateReachesOverlappingSubControlsOnly) {
  EventLog log;
  TestOwner owner;
  TestControl root(&owner, 1, CRect(0, 0, 100, 100), &log);
  TestControl* inside = AddTo(&root, 2, CRect(10, 10, 20, 20), &log);
  TestControl* outside = AddTo(&root, 3, CRect(200, 200, 210, 210), &log);
  root.SetUpdate(1, 0);
  EXPECT_EQ(root.GetUpdate(), 1);
  EXPECT_EQ(inside->GetUpdate(), 1);
  EXPECT_EQ(outside->GetUpdate(), 0);
}

TEST(ControlUpdate, NotificationsGoToTheOwnerWithTheControlId) {
  EventLog log;
  TestOwner owner;
  owner.answer = 42;
  TestControl c(&owner, 33, CRect(), &log);
  EXPECT_EQ(c.SendMessageW(2, 5, 6), 42);
  ASSERT_EQ(owner.notifications.size(), 1u);
  EXPECT_EQ(owner.notifications[0].id, 33u);
  EXPECT_EQ(owner.notifications[0].code, 2u);
  TestControl orphan(nullptr, 34, CRect(), &log);
  EXPECT_EQ(orphan.SendMessageW(2, 0, 0), 0);
}

TEST(ControlUpdate, ParentVisibilityFollowsTheChainUpToTheDialog) {
  EventLog log;
  TestOwner dialog(L"MDialog");
  TestOwner stranger(L"SomethingElse");
  TestControl top(&dialog, 1, CRect(), &log);
  TestControl* mid = AddTo(&top, 2, CRect(), &log);
  TestControl* leaf = AddTo(mid, 3, CRect(), &log);
  EXPECT_EQ(top.IsParentVisible(), 1);
  EXPECT_EQ(leaf->IsParentVisible(), 1);
  mid->SetVisible(0, 0);
  EXPECT_EQ(leaf->IsParentVisible(), 0);
  mid->SetVisible(1, 0);
  top.SetVisible(0, 0);
  EXPECT_EQ(leaf->IsParentVisible(), 0);
  EXPECT_EQ(mid->IsParentVisible(), 0);

  TestControl orphan(nullptr, 4, CRect(), &log);
  EXPECT_EQ(orphan.IsParentVisible(), 0);
  // An owner that is neither a dialog nor a control has no visible flag to
  // read: it counts as a window.
  TestControl underStranger(&stranger, 5, CRect(), &log);
  EXPECT_EQ(underStranger.IsParentVisible(), 1);
}

TEST(ControlLocks, HandlersMayChangeTheListBeingWalkedOnTheSameThread) {
  EventLog log;
  TestOwner owner;
  TestControl root(&owner, 1, CRect(0, 0, 100, 100), &log);
  TestControl* a = AddTo(&root, 2, CRect(0, 0, 50, 50), &log);
  TestControl* b = AddTo(&root, 3, CRect(50, 0, 100, 50), &log);
  // During the broadcast of a move (sub-control lock held), a's handler
  // removes its sibling and adds a new control.
  bool fired = false;
  a->onMove = [&] {
    if (std::exchange(fired, true)) return;
    root.RemoveControl(b);
    AddTo(&root, 4, CRect(0, 50, 50, 100), &log);
  };
  root.OnMouseMove(0, CPoint(200, 200));
  EXPECT_EQ(log.Count(Of("destroy", 3)), 1);
  EXPECT_EQ(log.Count(At("move", 4, CPoint(200, 200))), 1);  // walked by index: the new one is reached
  EXPECT_EQ(root.GetControls().size(), 2u);

  // A timer tick (sub-control lock held) that looks the tree up again.
  a->SetRunTimer(1);
  MControl* seen = nullptr;
  a->onTimer = [&] { seen = root.GetControl(4); };
  root.OnTimer();
  EXPECT_NE(seen, nullptr);
}

TEST(ControlLocks, AnotherThreadWaitsWhileAHandlerHoldsTheList) {
  EventLog log;
  TestOwner owner;
  TestControl root(&owner, 1, CRect(0, 0, 100, 100), &log);
  TestControl* a = AddTo(&root, 2, CRect(0, 0, 50, 50), &log);
  std::atomic<bool> otherDone{false};
  std::thread other;
  bool doneWhileHeld = true;
  a->onMove = [&] {
    other = std::thread([&] {
      root.GetControls();
      otherDone = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    doneWhileHeld = otherDone;
  };
  root.OnMouseMove(0, CPoint(200, 200));
  other.join();
  EXPECT_FALSE(doneWhileHeld);
  EXPECT_TRUE(otherDone);
}

// A search from the root must not hold the root's list while it waits for a
// child's: here another thread holds the child's list (a handler of the
// child's own child runs) and needs the root's. Holding both in turn would
// deadlock; the waits are bounded so that the fault fails the test instead
// of hanging it.
TEST(ControlLocks, ASearchDoesNotHoldAListWhileItWaitsForAChildsList) {
  EventLog log;
  TestOwner owner;
  TestControl root(&owner, 1, CRect(0, 0, 100, 100), &log);
  TestControl* child = AddTo(&root, 2, CRect(0, 0, 100, 100), &log);
  TestControl* grandchild = AddTo(child, 3, CRect(0, 0, 100, 100), &log);
  AddTo(grandchild, 4, CRect(), &log);

  std::atomic<bool> childListHeld{false};
  std::atomic<bool> rootListTaken{false};
  MControl* found = nullptr;
  std::thread searcher;
  std::thread rootReader;
  grandchild->onMove = [&] {
    // The child's list lock is held here, by the child's broadcast.
    childListHeld = true;
    searcher = std::thread([&] { found = root.GetControl(4); });
    // Time for the search to reach the child's list.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    rootReader = std::thread([&] {
      root.GetControls();
      rootListTaken = true;
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!rootListTaken && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  };
  child->OnMouseMove(0, CPoint(50, 50));
  ASSERT_TRUE(childListHeld);
  EXPECT_TRUE(rootListTaken) << "the search held the root's list while waiting for the child's";
  searcher.join();
  rootReader.join();
  EXPECT_EQ(found, root.GetControl(4));
  EXPECT_NE(found, nullptr);
}

int BitmapWidth(HBITMAP bitmap) {
  BITMAP info{};
  return ::GetObjectW(bitmap, sizeof info, &info) ? info.bmWidth : -1;
}

TEST(ControlBuffers, MemoryBufferIsKeptForTheSameSizeAnimationBufferIsAlwaysNew) {
  EventLog log;
  TestOwner owner;
  TestControl c(&owner, 1, CRect(), &log);
  HDC screen = ::GetDC(nullptr);
  ASSERT_NE(screen, nullptr);

  ASSERT_TRUE(c.UpdateMemDC(screen, 32, 16));
  EXPECT_EQ(c.GetUpdate(), 1);
  HDC mem = c.GetMemDC();
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(BitmapWidth(c.GetMemBitmap()), 32);
  ::SetPixel(mem, 3, 3, RGB(255, 0, 0));
  c.SetUpdate(0, 0);
  ASSERT_TRUE(c.UpdateMemDC(screen, 32, 16));
  EXPECT_EQ(c.GetMemDC(), mem);
  EXPECT_EQ(::GetPixel(c.GetMemDC(), 3, 3), RGB(255, 0, 0));  // same bitmap, content kept
  ASSERT_TRUE(c.UpdateMemDC(screen, 64, 16));
  EXPECT_EQ(BitmapWidth(c.GetMemBitmap()), 64);
  EXPECT_EQ(BitmapWidth(static_cast<HBITMAP>(::GetCurrentObject(c.GetMemDC(), OBJ_BITMAP))), 64);

  ASSERT_TRUE(c.UpdateAnimateDC(screen, 8, 8));
  EXPECT_EQ(c.IsAnimating(), 1);
  ::SetPixel(c.GetAnimateDC(), 1, 1, RGB(0, 0, 255));
  ASSERT_TRUE(c.UpdateAnimateDC(screen, 8, 8));
  EXPECT_NE(::GetPixel(c.GetAnimateDC(), 1, 1), RGB(0, 0, 255));  // recreated
  EXPECT_EQ(BitmapWidth(c.GetAnimateBitmap()), 8);

  EXPECT_FALSE(c.UpdateMemDC(screen, 0, 5));
  EXPECT_EQ(c.GetMemDC(), nullptr);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace
