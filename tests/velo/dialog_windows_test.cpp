// The windows that accompany a dialog, on real windows under Xvfb: the drop
// shadow (computed and image), the balloon message window, the pop-up, and
// the handles all of them leave behind (none).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/velo/dialog_support.h"
#include "tests/velo/paint_support.h"
#include "velo/core/airbladder.h"
#include "velo/core/mcontrol.h"
#include "velo/core/mpopupwnd.h"
#include "velo/shadow/mshadow.h"

using namespace velo_test;

namespace {

// What the screen shows at one point. Under Wine without a compositor a
// layered window's pushed pixels (alpha included) are what the screen holds.
Argb ScreenAt(int x, int y) {
  Canvas c(1, 1, 0x12345678u);
  ostrel::win::unique_window_dc screen(nullptr);
  ::BitBlt(c.dc(), 0, 0, 1, 1, screen.get(), x, y, SRCCOPY);
  return c.Pixel(0, 0);
}

RECT WindowRect(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

HWND BalloonWindow(HWND owner) {
  HWND found = nullptr;
  while ((found = ::FindWindowExW(nullptr, found, L"VELOAirBladder", L"AirBladder Window")) != nullptr) {
    if (::GetWindow(found, GW_OWNER) == owner) return found;
  }
  return nullptr;
}

TEST(DialogWindows, ShadowComputedAndImageFollowTheDialog) {
  ScriptDialog d;
  d.onInit = [](ScriptDialog& self) {
    self.CreateShadow(TRUE, false);
    EXPECT_EQ(self.SetSize(10), 1);
    EXPECT_EQ(self.SetSharpness(5), 1);
    EXPECT_EQ(self.SetDarkness(150), 1);
    self.SetShadowColor(0);
    self.SetTimer(1, 80);
  };
  d.onTimer = [](ScriptDialog& self, UINT id) {
    self.KillTimer(id);
    const HWND shadow = self.GetPaintManager().GetShadow().GetShadowWnd();
    ASSERT_TRUE(shadow);
    EXPECT_TRUE(::IsWindowVisible(shadow));
    EXPECT_EQ(::GetWindowLongPtrW(shadow, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT),
              WS_EX_LAYERED | WS_EX_TRANSPARENT);
    // Origin + (offset 5 - size 10), 20 pixels larger each way.
    RECT r = WindowRect(shadow);
    EXPECT_EQ(r.left, 195);
    EXPECT_EQ(r.top, 145);
    EXPECT_EQ(r.right - r.left, 220);
    EXPECT_EQ(r.bottom - r.top, 140);
    // Right of the dialog (its edge at x 400), on its middle row: the full
    // darkness up to five pixels beyond the shadow's outline (x 404), then
    // fading to the outer edge.
    const int y = 210;
    EXPECT_NEAR(Alpha(ScreenAt(402, y)), 150, 2);
    EXPECT_NEAR(Alpha(ScreenAt(409, y)), 150, 2);
    for (int x = 410; x <= 414; ++x) EXPECT_LT(Alpha(ScreenAt(x, y)), Alpha(ScreenAt(x - 1, y))) << x;
    EXPECT_LT(Alpha(ScreenAt(414, y)), 40);
    // Black shadow: premultiplied colour channels stay 0.
    EXPECT_EQ(ScreenAt(405, y) & 0x00FFFFFFu, 0u);

    // It follows the dialog, and hides and shows with it.
    ::SetWindowPos(self.hwnd(), nullptr, 260, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    r = WindowRect(shadow);
    EXPECT_EQ(r.left, 255);
    EXPECT_EQ(r.top, 175);
    ::ShowWindow(self.hwnd(), SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(shadow));
    ::ShowWindow(self.hwnd(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(::IsWindowVisible(shadow));

    // Growing waits for the dialog's next paint; shrinking redraws at once.
    ::SetWindowPos(self.hwnd(), nullptr, 0, 0, 240, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    r = WindowRect(shadow);
    EXPECT_EQ(r.right - r.left, 220);
    PaintNow(self.hwnd());
    r = WindowRect(shadow);
    EXPECT_EQ(r.right - r.left, 260);
    EXPECT_EQ(r.bottom - r.top, 170);
    ::SetWindowPos(self.hwnd(), nullptr, 0, 0, 180, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    r = WindowRect(shadow);
    EXPECT_EQ(r.right - r.left, 200);
    // A maximised dialog has no shadow; the next ordinary size brings it
    // back.
    ::SendMessageW(self.hwnd(), WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(180, 100));
    EXPECT_FALSE(::IsWindowVisible(shadow));
    ::SendMessageW(self.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(180, 100));
    EXPECT_TRUE(::IsWindowVisible(shadow));
    self.DoOK();
  };
  ASSERT_TRUE(d.Open(nullptr, CRect(200, 150, 400, 270)));
  EXPECT_EQ(d.ShowModal(SW_SHOWNOACTIVATE), 1u);

  // Image mode: the 30 x 30 image of nine 10-pixel blocks is drawn around
  // the window with 10-pixel margins, corners unscaled.
  const Argb colors[9] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF808080u,
                          0xFF00FFFFu, 0xFFFF00FFu, 0xFF804000u, 0xFF004080u};
  auto image = MakeBlockImage({10, 10, 10}, {10, 10, 10}, colors);
  ASSERT_TRUE(SavePng(*image, L"shadow_test.png"));
  ScriptDialog m;
  HWND imageShadow = nullptr;
  m.onInit = [](ScriptDialog& self) {
    self.CreateShadow(TRUE, false);
    self.SetShadowImage(L"shadow_test.png", CRect(10, 10, 10, 10));
    self.SetTimer(1, 80);
  };
  m.onTimer = [&](ScriptDialog& self, UINT id) {
    self.KillTimer(id);
    imageShadow = self.GetPaintManager().GetShadow().GetShadowWnd();
    const RECT r = WindowRect(imageShadow);
    EXPECT_EQ(r.left, 290);
    EXPECT_EQ(r.top, 190);
    EXPECT_EQ(r.right, 510);
    EXPECT_EQ(r.bottom, 330);
    struct Probe {
      int x, y, block;
    };
    const Probe probes[] = {{291, 191, 0}, {400, 195, 1}, {508, 192, 2}, {295, 260, 3},
                            {505, 260, 5}, {292, 328, 6}, {400, 325, 7}, {508, 328, 8}};
    for (const Probe& p : probes) {
      EXPECT_LE(ColorDistance(ScreenAt(p.x, p.y), colors[p.block]), 8)
          << p.x << "," << p.y << " " << std::hex << ScreenAt(p.x, p.y);
    }
    self.DoOK();
  };
  ASSERT_TRUE(m.Open(nullptr, CRect(300, 200, 500, 320)));
  EXPECT_EQ(m.ShowModal(SW_SHOWNOACTIVATE), 1u);
  // Gone with its owner.
  EXPECT_FALSE(::IsWindow(imageShadow));
  EXPECT_EQ(VELO::MShadow::GetShadowMap().size(), 0u);
}

TEST(DialogWindows, BalloonBesideItsControlInsideTheWorkAreaAndOnItsTimer) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ScriptDialog d;
  VELO::MControl* button = nullptr;
  VELO::MControl* corner = nullptr;
  HWND balloon = nullptr;
  d.onInit = [&](ScriptDialog& self) {
    button = self.CreateControl(L"MButton", 1, CRect(10, 20, 110, 44), L"OK", TRUE, TRUE);
    // Flush with the dialog's bottom-right corner, which is the work area's.
    corner = self.CreateControl(L"MButton", 2, CRect(140, 96, 200, 120), L"Edge", TRUE, TRUE);
    self.SetTimer(1, 30);
  };
  DWORD shownAt = 0;
  POINT lastEdge{};
  d.onTimer = [&](ScriptDialog& self, UINT id) {
    if (id == 1) {
      self.KillTimer(1);
      const POINT pt = self.GetAirBladderPoint(button, 0);
      EXPECT_EQ(self.SetAirBladderMsg(L"Saved", pt, VELO::AIRBLADDER_RIGHT), 1);
      balloon = BalloonWindow(self.hwnd());
      ASSERT_TRUE(balloon);
      EXPECT_TRUE(::IsWindowVisible(balloon));
      EXPECT_NE(::GetForegroundWindow(), balloon);  // shown without taking the focus
      // Below the point, 25 pixels to its left (mode 3).
      RECT r = WindowRect(balloon);
      EXPECT_EQ(r.left, pt.x - 25);
      EXPECT_EQ(r.top, pt.y);
      EXPECT_GT(r.right - r.left, 40);
      EXPECT_GT(r.bottom - r.top, 30);
      // The text drew in white on the dark bubble.
      PaintNow(balloon);
      int white = 0;
      for (int x = r.left + 8; x < r.right - 8; ++x) {
        const Argb p = ScreenAt(x, (r.top + r.bottom) / 2);
        if (Red(p) > 200 && Green(p) > 200) ++white;
      }
      EXPECT_GT(white, 2);
      EXPECT_GT(Alpha(ScreenAt(r.left + 3, r.top + 3)), 200);

      // Three lines are three times as high; a control at the screen's
      // corner keeps its balloon on the work area.
      const POINT edge = self.GetAirBladderPoint(corner, 2);
      lastEdge = edge;
      EXPECT_EQ(edge.x, work.right);
      EXPECT_EQ(self.SetAirBladderMsg(L"one\ntwo\nthree", edge, VELO::AIRBLADDER_RIGHT), 1);
      r = WindowRect(balloon);
      EXPECT_LE(r.right, work.right);
      EXPECT_LE(r.bottom, work.bottom);
      EXPECT_GE(r.left, work.left);
      EXPECT_GT(r.bottom - r.top, 3 * 14);
      shownAt = ::GetTickCount();
      self.SetTimer(2, 5300);
    } else {
      self.KillTimer(2);
      // Five seconds on, the balloon has gone by itself.
      EXPECT_GE(::GetTickCount() - shownAt, 5000u);
      EXPECT_FALSE(::IsWindowVisible(balloon));
      // The same message again, to be shown once more, hides by itself again.
      EXPECT_FALSE(::KillTimer(balloon, 10));
      EXPECT_EQ(self.SetAirBladderMsg(L"one\ntwo\nthree", lastEdge, VELO::AIRBLADDER_RIGHT), 1);
      EXPECT_TRUE(::KillTimer(balloon, 10)) << "no hide timer for a message shown again";
      self.DoOK();
    }
  };
  ASSERT_TRUE(d.Open(nullptr, CRect(work.right - 200, work.bottom - 120, work.right, work.bottom)));
  EXPECT_EQ(d.ShowModal(SW_SHOWNOACTIVATE), 1u);
  EXPECT_FALSE(::IsWindow(balloon));
}

// Records what the balloon's message routing hands its handlers. Its paint
// handler deliberately leaves the update region alone, so that whatever
// validates it afterwards can only be the default procedure.
class RecordingBalloon : public VELO::MAirBladder {
 public:
  int OnSetFocus(VELO::MWindow* old) override {
    focus.push_back(old ? "set+" : "set");
    return MAirBladder::OnSetFocus(old);
  }
  int OnKillFocus(VELO::MWindow* next) override {
    focus.push_back(next ? "kill+" : "kill");
    return MAirBladder::OnKillFocus(next);
  }
  int OnPaint() override { return ++paints; }
  int OnLButtonDown(UINT, VELO::CPoint pt) override {
    press = pt;
    return 1;
  }
  int OnSize(UINT, int cx, int cy) override {
    size = VELO::CPoint(cx, cy);
    return 1;
  }
  LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM) override { return static_cast<LRESULT>(wParam) + 40; }

  std::vector<std::string> focus;
  int paints = 0;
  VELO::CPoint press, size;
};

TEST(DialogWindows, BalloonRoutesFocusAndAnswersPaintItself) {
  RecordingBalloon b;
  ASSERT_TRUE(b.Create(nullptr, L"AirBladder Window", WS_POPUP, 0, CRect(300, 300, 400, 340), nullptr));
  const HWND hwnd = b.GetSafeHwnd();
  // What it shares with dialogs and pop-ups: erasing and the user close are
  // answered at once, points and sizes arrive as signed 16-bit halves.
  EXPECT_EQ(::SendMessageW(hwnd, WM_ERASEBKGND, 0, 0), 1);
  EXPECT_EQ(::SendMessageW(hwnd, VELO::WM_VELO_USERCLOSE, 2, 0), 42);
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -7));
  EXPECT_EQ(b.press, VELO::CPoint(-5, -7));
  ::SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(-3, -4));
  EXPECT_EQ(b.size, VELO::CPoint(-3, -4));

  // Its own: WM_PAINT ends with its handler (a dialog's goes on to the paint
  // manager and the default procedure, which would validate the region).
  b.ShowWindow(SW_SHOWNOACTIVATE);
  ::InvalidateRect(hwnd, nullptr, FALSE);
  b.paints = 0;
  EXPECT_EQ(::SendMessageW(hwnd, WM_PAINT, 0, 0), 0);
  EXPECT_EQ(b.paints, 1);
  RECT dirty{};
  EXPECT_TRUE(::GetUpdateRect(hwnd, &dirty, FALSE));
  ::ValidateRect(hwnd, nullptr);

  // Focus messages reach handlers dialogs do not have; losing the focus
  // hides a balloon that stays otherwise, unless its mode keeps it.
  EXPECT_EQ(
      b.SetAirBladderMsg(L"Kept", POINT{350, 350}, VELO::AIRBLADDER_STAYS, VELO::AIRBLADDER_BELOW_POINT), 1);
  ::SendMessageW(hwnd, WM_SETFOCUS, 0, 0);
  ::SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  EXPECT_EQ(b.SetAirBladderMsg(L"Kept", POINT{350, 350}, VELO::AIRBLADDER_STAYS, VELO::AIRBLADDER_RIGHT_KEPT),
            1);
  b.ShowWindow(SW_SHOWNOACTIVATE);
  ::SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  EXPECT_EQ(b.focus, (std::vector<std::string>{"set", "kill", "kill"}));
  b.DestroyWindow();
}

class ParentControl : public VELO::MControl {
 public:
  ParentControl() : MControl(nullptr, 1, CRect(0, 0, 10, 10), TRUE, TRUE, TRUE) {}
  void DrawControl(HDC&, CRect) override {}
  LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM) override {
    lastId = id;
    lastCode = code;
    return static_cast<LRESULT>(wParam) + 1;
  }
  UINT lastId = 99, lastCode = 0;
};

class CountingPopup : public VELO::MPopupWnd {
 public:
  void UISize(CRect client) override {
    ++sizes;
    lastClient = client;
  }
  int sizes = 0;
  CRect lastClient;
};

TEST(DialogWindows, PopupReportsToItsControlLaysOutAndClosesOnDeactivation) {
  CountingPopup popup;
  EXPECT_EQ(popup.SendMessageToParent(5, 1, 0), 0);
  ParentControl parent;
  popup.SetParent(&parent);
  EXPECT_EQ(popup.SendMessageToParent(5, 41, 0), 42);
  EXPECT_EQ(parent.lastId, 0u);
  EXPECT_EQ(parent.lastCode, 5u);

  ASSERT_TRUE(popup.Create(nullptr, L"popup", WS_POPUP, 0, CRect(100, 100, 220, 180), nullptr));
  EXPECT_EQ(popup.GetExStyle(), static_cast<DWORD>(WS_EX_TOOLWINDOW));
  popup.sizes = 0;
  ::SetWindowPos(popup.GetSafeHwnd(), nullptr, 120, 110, 150, 90, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_GE(popup.sizes, 1);
  EXPECT_EQ(popup.lastClient.Width(), 150);
  EXPECT_EQ(popup.lastClient.Height(), 90);

  // Shown active, then another window takes the activation: it closes.
  popup.ShowWindow(SW_SHOW);
  ::SetActiveWindow(popup.GetSafeHwnd());
  Pump(30);
  HostWindow other(400, 100, 80, 60, false);
  ::SetForegroundWindow(other.hwnd());
  ::SetActiveWindow(other.hwnd());
  Pump(100);
  EXPECT_EQ(popup.GetSafeHwnd(), nullptr);
}

TEST(DialogWindows, TwoHundredDialogsWithShadowAndBalloonLeaveNoHandles) {
  const auto cycle = [] {
    ScriptDialog d;
    d.onInit = [](ScriptDialog& self) {
      self.CreateControl(L"MButton", 1, CRect(10, 10, 60, 30), L"OK", TRUE, TRUE);
      self.CreateShadow(TRUE, false);
      self.SetSize(6);
      self.SetTimer(1, 1);
    };
    d.onTimer = [](ScriptDialog& self, UINT id) {
      self.KillTimer(id);
      const POINT pt = self.GetAirBladderPoint(self.GetControl(1), 1);
      self.SetAirBladderMsg(L"Balloon", pt, VELO::AIRBLADDER_RIGHT);
      PaintNow(self.hwnd());
      self.DoOK();
    };
    d.Open(nullptr, CRect(150, 150, 330, 260));
    return d.ShowModal(SW_SHOWNOACTIVATE);
  };
  // Class registrations and caches that live for the process come first.
  for (int i = 0; i < 3; ++i) cycle();
  Pump(20);
  const int gdi = GdiObjectCount();
  const DWORD user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  const int windows = ThreadWindowCount();
  int answered = 0;
  for (int i = 0; i < 200; ++i) answered += cycle() == 1 ? 1 : 0;
  Pump(20);
  EXPECT_EQ(answered, 200);
  EXPECT_EQ(GdiObjectCount(), gdi);
  EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), user);
  EXPECT_EQ(ThreadWindowCount(), windows);
  EXPECT_EQ(VELO::MShadow::GetShadowMap().size(), 0u);
}

}  // namespace
