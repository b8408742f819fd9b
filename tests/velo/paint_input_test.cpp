// Window-level input: Tab focus order, window drag, the tooltip following
// the control under the mouse, and the overlay's timing (loose bounds:
// Wine's timers are coarse).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/velo/paint_support.h"
#include "velo/controls/mbutton.h"

using namespace velo_test;

namespace {

void SetKeys(std::initializer_list<int> down) {
  BYTE state[256] = {};
  for (int vk : down) state[vk] = 0x80;
  ::SetKeyboardState(state);
}

bool Tab(HostWindow& w) {
  MSG msg{w.hwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  return w.pm.PreTranslateMessage(&msg) != FALSE;
}

TEST(PaintInput, TabWalksTheFocusInOrderAndAPressOnNothingDragsTheWindow) {
  HostWindow w(500, 100, 300, 100, true);
  VELO::MControl* c[4];
  for (int i = 0; i < 4; ++i) {
    c[i] = w.pm.CreateControl(&w, L"MButton", 10 + i, CRect(10 + 60 * i, 10, 60 + 60 * i, 40), L"", 1, 1);
    ASSERT_NE(c[i], nullptr);
    c[i]->SetTabStop(1);
  }
  c[2]->SetEnabled(0);  // skipped
  SetKeys({});
  EXPECT_TRUE(Tab(w));
  EXPECT_EQ(w.pm.GetFocusControl(), c[0]);
  EXPECT_TRUE(c[0]->IsFocused());
  EXPECT_TRUE(Tab(w));
  EXPECT_EQ(w.pm.GetFocusControl(), c[1]);
  EXPECT_FALSE(c[0]->IsFocused());
  EXPECT_TRUE(Tab(w));
  EXPECT_EQ(w.pm.GetFocusControl(), c[3]);
  EXPECT_TRUE(Tab(w));
  EXPECT_EQ(w.pm.GetFocusControl(), c[0]);  // wraps
  SetKeys({VK_SHIFT});
  EXPECT_TRUE(Tab(w));
  EXPECT_EQ(w.pm.GetFocusControl(), c[3]);  // backwards
  for (int mod : {VK_CONTROL, VK_MENU}) {
    SetKeys({mod});
    EXPECT_FALSE(Tab(w));
    EXPECT_EQ(w.pm.GetFocusControl(), c[3]);
  }
  SetKeys({});

  // A press on no control asks the system to move the window; on a control
  // it does not; with window drag off nothing happens.
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(280, 80));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(280, 80), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(280, 80));
  EXPECT_EQ(w.dragRequests, 1);
  EXPECT_EQ(w.pm.GetFocusControl(), nullptr);  // the press took the focus away
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(20, 20));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(20, 20), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(20, 20));
  EXPECT_EQ(w.dragRequests, 1);
  EXPECT_EQ(w.pm.GetFocusControl(), c[0]);  // a press focuses the control
  w.pm.EnableWndDrag(FALSE);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(280, 80));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(280, 80), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(280, 80));
  EXPECT_EQ(w.dragRequests, 1);

  // The tooltip follows the control under the mouse and goes when it leaves.
  c[1]->SetTooltip(L"second");
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(90, 20));
  EXPECT_NE(w.pm.GetToolTipWnd(), nullptr);
  EXPECT_EQ(w.pm.GetTooltipText(), VELO::CString(L"second"));
  EXPECT_EQ(w.pm.GetTooltipCtrlID(), 11);
  EXPECT_EQ(w.pm.IsTooltipActive(), 1);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(200, 80));
  EXPECT_EQ(w.pm.IsTooltipActive(), 0);
  EXPECT_EQ(w.pm.GetTooltipCtrlID(), 0);
}

// Runs the thread's messages the way a dialog's loop does: each one offered
// to the paint manager first, which relays mouse messages to the tooltip.
void PumpThroughPreTranslate(HostWindow& w, int ms) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (w.pm.PreTranslateMessage(&msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

TEST(PaintTooltip, ShowsAfterTheSystemDelayForAStillMouseAndGoesWhenItLeavesTheControl) {
  HostWindow w(400, 300, 300, 120, false);
  VELO::MControl* fan = w.pm.CreateControl(&w, L"MButton", 12, CRect(20, 20, 140, 80), L"", 1, 1);
  ASSERT_NE(fan, nullptr);
  fan->SetTooltip(L"Fan speed");
  RealMove(ScreenPoint(w.hwnd(), 250, 100));
  PumpThroughPreTranslate(w, 100);
  RealMove(ScreenPoint(w.hwnd(), 60, 50));
  PumpThroughPreTranslate(w, 100);
  const HWND tip = w.pm.GetToolTipWnd();
  ASSERT_NE(tip, nullptr);
  const int delay = static_cast<int>(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
  ASSERT_GT(delay, 0);

  // The mouse comes to rest on the control: the tip waits for the delay.
  RealMove(ScreenPoint(w.hwnd(), 61, 50));
  const DWORD still = ::GetTickCount();
  DWORD shownAfter = 0;
  while (!shownAfter && ::GetTickCount() - still < static_cast<DWORD>(delay) + 3000) {
    PumpThroughPreTranslate(w, 10);
    if (::IsWindowVisible(tip)) shownAfter = ::GetTickCount() - still;
  }
  EXPECT_GE(shownAfter, static_cast<DWORD>(delay) / 2) << "shown before the delay";
  EXPECT_LE(shownAfter, static_cast<DWORD>(delay) + 1500) << "not shown in time (0: never)";
  wchar_t text[64] = {};
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = w.hwnd();
  ti.uId = 1313;
  ti.lpszText = text;
  ::SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, L"Fan speed");

  // Off the control: the tip goes at once and is not shown again there.
  RealMove(ScreenPoint(w.hwnd(), 250, 100));
  PumpThroughPreTranslate(w, 200);
  EXPECT_FALSE(::IsWindowVisible(tip));
  PumpThroughPreTranslate(w, delay + 300);
  EXPECT_FALSE(::IsWindowVisible(tip));
}

TEST(PaintOverlay, AMessageHoldsThreeSecondsThenFadesAndProgressAnimates) {
  HostWindow w(500, 300, 300, 150, true);
  const DWORD start = ::GetTickCount();
  w.pm.SetMessage(L"Saved", CRect(20, 20, 220, 80), VELO::MSG_INFO);
  const VELO::MessageOverlay& o = w.pm.GetMessageOverlay();
  EXPECT_EQ(o.GetAlpha(), 255);
  PaintNow(w.hwnd());
  // Drawn: the box's light frame over the grey background.
  EXPECT_TRUE(Near(Grab(w.hwnd())->Pixel(21, 21), 0xFFE6E6E6u, 3))
      << std::hex << Grab(w.hwnd())->Pixel(21, 21);
  Pump(2500);
  EXPECT_EQ(o.GetAlpha(), 255);
  int lastAlpha = 255;
  bool monotonic = true;
  while (o.GetAlpha() > 0 && ::GetTickCount() - start < 9000) {
    Pump(20);
    const int a = o.GetAlpha();
    // Steps of 10 down to the last one, which drops straight to 0.
    if (a != 0 && (a > lastAlpha || (lastAlpha - a) % 10 != 0)) monotonic = false;
    lastAlpha = a;
  }
  const DWORD gone = ::GetTickCount() - start;
  EXPECT_EQ(o.GetAlpha(), 0);
  EXPECT_TRUE(monotonic);
  EXPECT_GE(gone, 3900u);  // 3 s hold + 24 steps of 50 ms
  EXPECT_LE(gone, 8000u);
  PaintNow(w.hwnd());
  EXPECT_TRUE(Near(Grab(w.hwnd())->Pixel(21, 21), 0xFEC7C7C7u)) << "the box is gone";

  // Progress from 0 to 50 in steps of 2; a small step jumps; 100 fades.
  w.pm.SetProgress(50, L"Downloading", CRect());
  EXPECT_EQ(o.GetProgress(), 0);
  EXPECT_EQ(o.GetRect(), CRect(0, 90, 300, 148));  // the bottom band
  Pump(100);
  EXPECT_GT(o.GetProgress(), 0);
  EXPECT_EQ(o.GetProgress() % 2, 0);
  for (int i = 0; i < 100 && o.GetProgress() < 50; ++i) Pump(20);
  EXPECT_EQ(o.GetProgress(), 50);
  Pump(100);
  EXPECT_EQ(o.GetProgress(), 50);  // never past the target
  w.pm.SetProgress(97, L"Downloading", CRect());
  for (int i = 0; i < 100 && o.GetProgress() < 97; ++i) Pump(20);
  EXPECT_EQ(o.GetProgress(), 97);
  w.pm.SetProgress(100, L"Done", CRect());
  EXPECT_EQ(o.GetProgress(), 100);  // a step below 6 jumps at once
  for (int i = 0; i < 200 && o.GetAlpha() > 0; ++i) Pump(20);
  EXPECT_EQ(o.GetAlpha(), 0);
}

}  // namespace
