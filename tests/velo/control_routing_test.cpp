// Mouse, wheel and key routing down a control tree.
#include <gtest/gtest.h>

#include <memory>

#include "tests/velo/control_test_support.h"
#include "velo/paint/paint_manager.h"

using namespace velo_test;
using VELO::MControl;

namespace {

// A parent (100) covering (0,0)-(200,200) with two sub-controls side by side:
// 10 at (10,10)-(60,60) and 11 at (100,10)-(150,60).
struct Tree {
  EventLog log;
  TestOwner owner;
  VELO::PaintManager manager;
  std::unique_ptr<TestControl> parent =
      std::make_unique<TestControl>(&owner, 100, CRect(0, 0, 200, 200), &log);
  TestControl* a = nullptr;
  TestControl* b = nullptr;

  Tree() {
    parent->SetManager(&manager);
    a = Add(10, CRect(10, 10, 60, 60));
    b = Add(11, CRect(100, 10, 150, 60));
  }
  TestControl* Add(UINT id, CRect rc, TestControl* to = nullptr) {
    TestControl* host = to ? to : parent.get();
    return static_cast<TestControl*>(host->AddControl(std::make_unique<TestControl>(host, id, rc, &log)));
  }
};

TEST(ControlIdentity, OnlyTheMostDerivedClassNameMatches) {
  EventLog log;
  TestOwner owner;
  TestButton button(&owner, 1, CRect(), &log);
  EXPECT_EQ(button.IsClass(L"TestButton"), 1);
  EXPECT_EQ(button.IsClass(L"TestControl"), 0);
  EXPECT_EQ(button.IsClass(L"MControl"), 0);
  EXPECT_EQ(button.IsClass(L"testbutton"), 0);
  EXPECT_EQ(button.IsClass(L"TestButto"), 0);
  EXPECT_EQ(button.IsClass(nullptr), 0);

  VELO::MObject plain;
  EXPECT_EQ(plain.GetClassNameW(), nullptr);
  EXPECT_EQ(plain.IsClass(L""), 0);
  EXPECT_EQ(plain.GetObjectClass(), nullptr);
  EXPECT_EQ(plain.BaseObjectClassName(), nullptr);
  EXPECT_EQ(plain.OnBaseMessage(1, 2, 3, 4), 0);
}

TEST(ControlRouting, HiddenOrNonRespondingControlsTakeNothingAndPassNothingOn) {
  for (int hidden = 0; hidden < 2; ++hidden) {
    Tree t;
    if (hidden) {
      t.parent->SetVisible(0, 0);
    } else {
      t.parent->SetRresponse(0);
    }
    t.a->scrollResult = 1;
    t.a->keyResult = 1;
    const CPoint inA(20, 20);
    EXPECT_EQ(t.parent->OnMouseMove(0, inA), 0);
    EXPECT_EQ(t.parent->OnLButtonDown(0, inA), 0);
    EXPECT_EQ(t.parent->OnLButtonUp(0, inA), 0);
    EXPECT_EQ(t.parent->OnLButtonDblClk(0, inA), 0);
    EXPECT_EQ(t.parent->OnRButtonDown(0, inA), 0);
    EXPECT_EQ(t.parent->OnRButtonUp(0, inA), 0);
    EXPECT_EQ(t.parent->OnRButtonDblClk(0, inA), 0);
    EXPECT_EQ(t.parent->OnScroll(120, 0, inA), 0);
    EXPECT_EQ(t.parent->OnKeyDown('A', 1, 0), 0);
    EXPECT_TRUE(t.log.events.empty()) << t.log.events.front();
    EXPECT_EQ(t.parent->GetActiveChild(), nullptr);
  }
}

TEST(ControlRouting, MoveFindsTheChildUnderTheMouseAndLeavesIt) {
  Tree t;
  EXPECT_EQ(t.parent->OnMouseMove(0, CPoint(20, 20)), 1);
  EXPECT_EQ(t.parent->GetActiveChild(), t.a);
  // Every sub-control hears the move, so that one the mouse left can drop
  // its hover look.
  EXPECT_EQ(t.log.Count(At("move", 11, CPoint(20, 20))), 1);

  t.log.Clear();
  EXPECT_EQ(t.parent->OnMouseMove(0, CPoint(30, 30)), 1);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{At("move", 10, CPoint(30, 30))}));

  t.log.Clear();
  t.parent->OnMouseMove(0, CPoint(120, 20));
  EXPECT_EQ(t.parent->GetActiveChild(), t.b);
  EXPECT_EQ(t.log.events.front(), At("move", 100, CPoint(120, 20)));
}

TEST(ControlRouting, OverlappingChildrenFavourTheLaterOne) {
  Tree t;
  TestControl* top = t.Add(12, CRect(30, 30, 80, 80));
  t.parent->OnLButtonDown(0, CPoint(40, 40));
  EXPECT_EQ(t.parent->GetActiveChild(), top);
  EXPECT_EQ(t.log.Count(At("ldown", 12, CPoint(40, 40))), 1);
  EXPECT_EQ(t.log.Count(At("ldown", 10, CPoint(40, 40))), 0);
}

TEST(ControlRouting, PressInsideAChildKeepsItsMovesUntilRelease) {
  Tree t;
  t.parent->OnMouseMove(0, CPoint(20, 20));
  EXPECT_EQ(t.parent->OnLButtonDown(0, CPoint(20, 20)), 1);
  EXPECT_TRUE(t.parent->IsPressed());
  t.log.Clear();
  // Out of the child, over its sibling, then out of the parent.
  t.parent->OnMouseMove(MK_LBUTTON, CPoint(120, 20));
  t.parent->OnMouseMove(MK_LBUTTON, CPoint(500, 500));
  EXPECT_EQ(t.log.events,
            (std::vector<std::string>{At("move", 10, CPoint(120, 20)), At("move", 10, CPoint(500, 500))}));
  EXPECT_EQ(t.parent->GetActiveChild(), t.a);

  t.log.Clear();
  t.parent->OnLButtonUp(0, CPoint(500, 500));
  EXPECT_EQ(t.log.events, (std::vector<std::string>{At("lup", 10, CPoint(500, 500))}));
  EXPECT_FALSE(t.parent->IsPressed());
  t.log.Clear();
  t.parent->OnMouseMove(0, CPoint(120, 20));
  EXPECT_EQ(t.parent->GetActiveChild(), t.b);
  EXPECT_EQ(t.log.Count(At("move", 10, CPoint(120, 20))), 1);  // the broadcast, not the capture
}

TEST(ControlRouting, PressOnNoChildGoesToTheControlAndTakesTheFocus) {
  Tree t;
  t.manager.SetFocusControl(t.b);
  t.log.Clear();
  EXPECT_EQ(t.parent->OnLButtonDown(0, CPoint(180, 180)), 1);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{Of("unfocus", 11), Of("focus", 100),
                                                    At("ldown", 100, CPoint(180, 180))}));
  EXPECT_EQ(t.manager.GetFocusControl(), t.parent.get());
  EXPECT_TRUE(t.parent->IsFocusControl());
  EXPECT_TRUE(t.parent->IsFocused());
  EXPECT_FALSE(t.b->IsFocused());
  // A second press does not refocus.
  t.log.Clear();
  t.parent->OnLButtonDown(0, CPoint(180, 180));
  EXPECT_EQ(t.log.Count(Of("focus", 100)), 0);
}

TEST(ControlRouting, DisabledChildIsNotHitButAnEarlierActiveChildStays) {
  Tree t;
  t.b->SetEnabled(0);
  t.parent->OnMouseMove(0, CPoint(20, 20));  // a is active
  t.log.Clear();
  t.parent->OnLButtonDown(0, CPoint(120, 20));  // on disabled b
  EXPECT_EQ(t.parent->GetActiveChild(), t.a);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{Of("focus", 10), At("ldown", 10, CPoint(120, 20))}));
}

TEST(ControlRouting, DoubleClickOffGivesTwoPressesAndNoCode3) {
  Tree t;
  t.parent->SetNotifyDblClk(1);
  const CPoint p(180, 180);
  t.parent->OnLButtonDown(0, p);
  t.parent->OnLButtonUp(0, p);
  t.parent->OnLButtonDblClk(0, p);
  EXPECT_EQ(t.log.Count(At("ldown", 100, p)), 2);
  EXPECT_EQ(t.log.Count(At("ldbl", 100, p)), 0);
  EXPECT_EQ(t.owner.CountCode(3), 0);
}

TEST(ControlRouting, NestedChildWithDoubleClickOffGetsExactlyTwoPresses) {
  Tree t;
  TestControl* inner = t.Add(20, CRect(15, 15, 40, 40), t.a);
  for (int result = 0; result < 2; ++result) {
    t.log.Clear();
    inner->buttonResult = result;
    t.a->buttonResult = result;
    const CPoint p(20, 20);
    t.parent->OnMouseMove(0, p);
    t.parent->OnLButtonDown(0, p);
    t.parent->OnLButtonUp(0, p);
    t.parent->OnLButtonDblClk(0, p);
    EXPECT_EQ(t.log.Count(At("ldown", 20, p)), 2) << "handler result " << result;
    EXPECT_EQ(t.log.Count(At("ldown", 10, p)), 0);
  }
}

TEST(ControlRouting, DoubleClickOnSendsCode3WithThePointThenTheHandler) {
  Tree t;
  t.parent->SetDblClk(1);
  t.parent->SetNotifyDblClk(1);
  t.parent->OnLButtonDblClk(MK_LBUTTON, CPoint(180, 170));
  ASSERT_EQ(t.owner.CountCode(3), 1);
  EXPECT_EQ(t.owner.notifications[0].id, 100u);
  EXPECT_EQ(t.owner.notifications[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(t.owner.lastDoubleClickPoint, CPoint(180, 170));
  EXPECT_EQ(t.log.events, (std::vector<std::string>{At("ldbl", 100, CPoint(180, 170))}));

  // The right button never sends code 3.
  t.parent->SetNotifyDblClk(1);
  t.parent->OnRButtonDblClk(0, CPoint(180, 170));
  EXPECT_EQ(t.owner.CountCode(3), 1);
  EXPECT_EQ(t.log.Count(At("rdbl", 100, CPoint(180, 170))), 1);

  // Without notify, no code 3 either.
  t.parent->SetNotifyDblClk(0);
  t.parent->OnLButtonDblClk(0, CPoint(180, 170));
  EXPECT_EQ(t.owner.CountCode(3), 1);
}

TEST(ControlRouting, RightButtonMirrorsTheLeft) {
  Tree t;
  t.parent->OnRButtonDown(0, CPoint(120, 20));
  t.parent->OnMouseMove(MK_RBUTTON, CPoint(20, 20));
  t.parent->OnRButtonUp(0, CPoint(20, 20));
  // A right press takes the focus like a left one.
  EXPECT_EQ(t.log.events,
            (std::vector<std::string>{Of("focus", 11), At("rdown", 11, CPoint(120, 20)),
                                      At("move", 11, CPoint(20, 20)), At("rup", 11, CPoint(20, 20))}));
}

TEST(ControlRouting, ChildrenGetTheTranslatedPointExceptScrollBarIds) {
  Tree t;
  t.parent->translate = CPoint(0, 100);  // content scrolled by 100
  TestControl* bar = t.Add(1, CRect(190, 0, 200, 200));
  TestControl* content = t.Add(30, CRect(10, 100, 60, 150));
  t.parent->OnLButtonDown(0, CPoint(20, 20));
  EXPECT_EQ(t.parent->GetActiveChild(), content);
  EXPECT_EQ(t.log.Count(At("ldown", 30, CPoint(20, 120))), 1);
  t.parent->OnLButtonUp(0, CPoint(20, 20));
  t.parent->OnLButtonDown(0, CPoint(195, 20));
  EXPECT_EQ(t.parent->GetActiveChild(), bar);
  EXPECT_EQ(t.log.Count(At("ldown", 1, CPoint(195, 20))), 1);
}

TEST(ControlRouting, TrackInsideKeepsTheOutsideFlag) {
  Tree t;
  EXPECT_EQ(t.parent->IsOutside(), 1);
  t.parent->OnMouseMove(0, CPoint(180, 180));
  EXPECT_EQ(t.parent->IsOutside(), 1);  // not tracking
  t.parent->SetTrackInside(1);
  t.parent->OnMouseMove(0, CPoint(180, 180));
  EXPECT_EQ(t.parent->IsOutside(), 0);
  t.parent->OnMouseMove(0, CPoint(250, 180));
  EXPECT_EQ(t.parent->IsOutside(), 1);
}

TEST(ControlRouting, TooltipIsShownOnceForTheControlUnderTheMouse) {
  Tree t;
  t.a->SetTooltip(L"Fan speed");
  t.parent->OnMouseMove(0, CPoint(20, 20));
  EXPECT_EQ(t.manager.GetTooltipCtrlID(), 10);
  EXPECT_EQ(t.manager.GetTooltipText(), L"Fan speed");
  EXPECT_EQ(t.manager.GetTooltipRect(), CRect(10, 10, 60, 60));
  t.manager.SetTooltip(L"changed elsewhere", CRect());
  t.parent->OnMouseMove(0, CPoint(25, 25));  // same owner id: left alone
  EXPECT_EQ(t.manager.GetTooltipText(), L"changed elsewhere");
  t.a->ClearTooltip();
  EXPECT_EQ(t.manager.GetTooltipCtrlID(), 0);
  EXPECT_FALSE(t.manager.IsTooltipActive());
}

TEST(ControlWheel, ActiveChildThenOwnHandlerThenFirstChildThatTakesIt) {
  Tree t;
  t.a->scrollResult = 1;
  t.parent->OnMouseMove(0, CPoint(20, 20));
  t.log.Clear();
  EXPECT_EQ(t.parent->OnScroll(-120, 0, CPoint(20, 20)), 1);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{"scroll 10 -120"}));

  // Outside the active child: the control first, then the children.
  t.log.Clear();
  t.b->scrollResult = 1;
  EXPECT_EQ(t.parent->OnScroll(120, 0, CPoint(120, 20)), 1);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{"scroll 100 120", "scroll 11 120"}));

  t.log.Clear();
  t.parent->scrollResult = 1;
  EXPECT_EQ(t.parent->OnScroll(120, 0, CPoint(120, 20)), 1);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{"scroll 100 120"}));

  t.log.Clear();
  EXPECT_EQ(t.parent->OnScroll(120, 0, CPoint(300, 20)), 0);  // outside
  t.parent->SetEnabled(0);
  EXPECT_EQ(t.parent->OnScroll(120, 0, CPoint(120, 20)), 0);
  EXPECT_TRUE(t.log.events.empty());
}

TEST(ControlKeys, DescendAlongFocusedChildrenAndNotifyWithCode14) {
  Tree t;
  TestControl* inner = t.Add(20, CRect(15, 15, 40, 40), t.a);
  t.a->SetNotifyKeys(1);
  inner->SetHotKey('S', 2);
  t.manager.SetFocusControl(t.a);
  t.log.Clear();

  // Focused a: its own handler has no hot key, its child's does.
  EXPECT_EQ(t.parent->OnKeyDown('S', 1, 2), 1);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{"key 10 83", "key 20 83"}));
  ASSERT_EQ(t.owner.notifications.size(), 0u);  // a's owner is the parent, a TestControl

  // Nothing takes it: still code 14, result 0.
  t.log.Clear();
  EXPECT_EQ(t.parent->OnKeyDown('Q', 1, 0), 0);

  // The parent's own handler when nothing is focused below it.
  t.manager.SetFocusControl(nullptr);
  t.parent->SetNotifyKeys(1);
  t.parent->SetHotKey(VK_F5, 0);
  t.log.Clear();
  EXPECT_EQ(t.parent->OnKeyDown(VK_F5, 1, 0), 1);
  EXPECT_EQ(t.log.events.front(), "key 100 116");
  ASSERT_EQ(t.owner.CountCode(14), 1);
  EXPECT_EQ(t.owner.notifications.back().wParam, static_cast<WPARAM>(VK_F5));
  EXPECT_EQ(t.parent->OnKeyDown(VK_F5, 1, 4), 0);  // flags must match too
  EXPECT_EQ(t.owner.CountCode(14), 2);
  EXPECT_EQ(t.parent->OnKeyUp(VK_F5, 1, 0), 0);
}

TEST(ControlTimer, TicksOnlyRunningVisibleChildren) {
  Tree t;
  TestControl* hidden = t.Add(12, CRect(0, 0, 5, 5));
  hidden->SetRunTimer(1);
  hidden->SetVisible(0, 0);
  t.a->SetRunTimer(1);
  EXPECT_EQ(t.parent->OnTimer(), 0);
  EXPECT_EQ(t.log.events, (std::vector<std::string>{"timer 100", "timer 10"}));
  t.a->timerResult = 1;
  EXPECT_EQ(t.parent->OnTimer(), 1);
  t.parent->timerResult = 1;
  t.a->timerResult = 0;
  EXPECT_EQ(t.parent->OnTimer(), 1);
}

}  // namespace
