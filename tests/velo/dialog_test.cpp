// MDialog on real windows under Xvfb: the modal results callers see, a box
// opened from a handler returning to the outer loop, dialogs deleted from
// their own handlers, the dispatch order and the frame-mode background.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/velo/dialog_support.h"
#include "tests/velo/paint_support.h"
#include "velo/core/mcontrol.h"

using namespace velo_test;

namespace {

constexpr UINT kButtonId = 7;

// Dialogs with a poisoned delete: the freed block stays mapped but filled
// with 0xDD, so any read of the object after `delete` (the virtual table
// first) crashes instead of passing by luck.
std::vector<void*>* g_graveyard = nullptr;

class DoomedDialog : public ScriptDialog {
 public:
  enum class Death { InHandler, AfterDestroy, DestroyOnly };
  explicit DoomedDialog(Death death) : death_(death) {}
  static void* operator new(size_t n) { return ::operator new(n); }
  static void operator delete(void* p, size_t n) {
    std::memset(p, 0xDD, n);
    g_graveyard->push_back(p);
  }
  void OnTimer(UINT) override {
    ::KillTimer(m_hWnd, 1);
    if (death_ == Death::InHandler) {
      delete this;
    } else {
      ::DestroyWindow(m_hWnd);
    }
  }
  int PostNcDestroy() override {
    if (death_ == Death::AfterDestroy) delete this;
    return 0;
  }

 private:
  Death death_;
};

TEST(Dialog, ModalResultsDispatchOrderAndNestedBox) {
  // Each closing call gives its own answer; a close by the system gives 0.
  const std::vector<std::pair<void (VELO::MDialog::*)(), UINT>> answers = {{&VELO::MDialog::DoOK, 1u},
                                                                           {&VELO::MDialog::DoCancel, 2u},
                                                                           {&VELO::MDialog::DoClose, 2u},
                                                                           {&VELO::MDialog::DoYes, 6u},
                                                                           {&VELO::MDialog::DoNo, 7u}};
  for (const auto& [call, answer] : answers) {
    ScriptDialog d;
    ASSERT_TRUE(d.Open(nullptr, CRect(100, 100, 300, 200)));
    (d.*call)();
    EXPECT_EQ(d.ShowModal(SW_SHOWNOACTIVATE), answer);
    EXPECT_EQ(d.hwnd(), nullptr);
    EXPECT_EQ(d.log, (std::vector<std::string>{"InitUI", "Close", "Destroy", "PostNcDestroy"}));
  }
  {
    ScriptDialog d;
    d.Open(nullptr, CRect(100, 100, 300, 200));
    ::PostMessageW(d.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(d.ShowModal(SW_SHOWNOACTIVATE), 0u);
  }
  // Closing calls without a window do nothing.
  ScriptDialog unopened;
  unopened.DoOK();
  EXPECT_EQ(unopened.ShowModal(), 0xFFFFFFFFu);

  // The outer dialog: a button, an area, a click through the whole path, and
  // a nested box opened from the click's notification.
  ScriptDialog outer;
  UINT nested = 0;
  int paintsAfterNested = -1;
  BOOL outerEnabledAfterNested = FALSE;
  outer.onInit = [](ScriptDialog& d) {
    EXPECT_NE(d.CreateControl(L"MButton", kButtonId, CRect(10, 20, 31, 40), L"OK", TRUE, TRUE), nullptr);
    EXPECT_NE(d.CreateArea(L"CArea", 8, CRect(0, 0, 50, 50), nullptr, TRUE, TRUE), nullptr);
    EXPECT_EQ(d.CreateControl(L"NoSuchControl", 9, CRect(0, 0, 5, 5), nullptr, TRUE, TRUE), nullptr);
    d.SetTimer(1, 20);
  };
  outer.onTimer = [&](ScriptDialog& d, UINT id) {
    d.KillTimer(id);
    if (id == 1) {
      Click(d.hwnd(), CPoint(20, 30));
    } else if (id == 2) {
      paintsAfterNested = d.paints;
      d.DoOK();
    }
  };
  outer.onMessage = [&](ScriptDialog& d, UINT id, UINT code) {
    if (id != kButtonId || code != 2) return;
    ScriptDialog box;
    box.onInit = [](ScriptDialog& b) { b.SetTimer(1, 30); };
    box.onTimer = [&d](ScriptDialog& b, UINT) {
      b.KillTimer(1);
      EXPECT_FALSE(d.IsWindowEnabled());  // the owner waits for its box
      b.DoYes();
    };
    box.Open(d.hwnd(), CRect(150, 150, 250, 220));
    nested = box.ShowModal(SW_SHOWNOACTIVATE);
    outerEnabledAfterNested = d.IsWindowEnabled();
    // The outer loop goes on painting once the box is gone.
    d.paints = 0;
    ::InvalidateRect(d.hwnd(), nullptr, FALSE);
    d.SetTimer(2, 80);
  };
  ASSERT_TRUE(outer.Open(nullptr, CRect(100, 100, 300, 200)));

  // The window is borderless whatever style it was created with.
  const DWORD style = outer.GetStyle();
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0u);
  EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
            static_cast<DWORD>(WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  // Erasing is answered at once, by no handler.
  EXPECT_EQ(::SendMessageW(outer.hwnd(), WM_ERASEBKGND, 0, 0), 1);
  // Controls and areas: only controls are listed.
  VELO::MControl* button = outer.GetControl(kButtonId);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(outer.GetControls(), std::vector<VELO::MControl*>{button});
  // Balloon point: under the control's centre, on the screen.
  POINT expect{20, 40};
  ::ClientToScreen(outer.hwnd(), &expect);
  const POINT at = outer.GetAirBladderPoint(button, 1);
  EXPECT_EQ(at.x, expect.x);
  EXPECT_EQ(at.y, expect.y);
  EXPECT_EQ(outer.GetAirBladderPoint(nullptr, 1).x, 0);
  EXPECT_EQ(outer.SetAirBladderMsg(L"x", POINT{0, 5}, VELO::AIRBLADDER_LEFT), 0);
  // Shadow settings out of range are refused.
  EXPECT_EQ(outer.SetSize(36), 0);
  EXPECT_EQ(outer.SetSharpness(36), 0);
  EXPECT_EQ(outer.SetDarkness(256), 0);
  EXPECT_EQ(outer.SetPosition(0, -36), 0);
  EXPECT_EQ(outer.GetPaintManager().GetShadowSettings().size, 0);
  EXPECT_EQ(outer.SetSize(-35), 1);
  // An opaque dialog without a colour key never becomes layered.
  outer.SetupBackTranslucent();
  EXPECT_EQ(outer.GetExStyle() & WS_EX_LAYERED, 0u);

  EXPECT_EQ(outer.ShowModal(SW_SHOWNOACTIVATE), 1u);
  EXPECT_EQ(nested, 6u);
  EXPECT_TRUE(outerEnabledAfterNested);
  EXPECT_GT(paintsAfterNested, 0);
  // The dialog's handler saw the press before the button reported it.
  const std::vector<std::string> expected = {"InitUI", "LButtonDown", "message 7 1",  "message 7 2",
                                             "Close",  "Destroy",     "PostNcDestroy"};
  EXPECT_EQ(outer.log, expected);
}

TEST(Dialog, DeletedOrDestroyedFromItsOwnHandlerEndsTheLoopCleanly) {
  std::vector<void*> graveyard;
  g_graveyard = &graveyard;
  for (const auto death : {DoomedDialog::Death::InHandler, DoomedDialog::Death::AfterDestroy,
                           DoomedDialog::Death::DestroyOnly}) {
    auto* d = new DoomedDialog(death);
    const HWND hwnd = d->Open(nullptr, CRect(100, 100, 300, 200));
    ASSERT_TRUE(hwnd);
    d->SetTimer(1, 10);
    // Still the object's own call: it must return without touching the
    // object once the handler deleted it.
    EXPECT_EQ(d->ShowModal(SW_SHOWNOACTIVATE), 0u);
    if (death == DoomedDialog::Death::DestroyOnly) {
      EXPECT_EQ(d->log.back(), "Destroy");
      delete d;
    }
    // A deleted dialog leaves its window unbound: later messages are
    // harmless.
    if (::IsWindow(hwnd)) {
      ::SendMessageW(hwnd, WM_PAINT, 0, 0);
      ::DestroyWindow(hwnd);
    }
    Pump(10);
  }
  EXPECT_EQ(graveyard.size(), 3u);
  for (void* p : graveyard) ::operator delete(p);
  g_graveyard = nullptr;
}

TEST(Dialog, FrameModeKeepsThirtyPixelBordersAt380By200) {
  // A 100 x 100 skin image of nine blocks: 30-pixel borders around a
  // 40-pixel middle, each block its own colour.
  const Argb colors[9] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF808080u,
                          0xFF00FFFFu, 0xFFFF00FFu, 0xFF804000u, 0xFF004080u};
  auto image = MakeBlockImage({30, 40, 30}, {30, 40, 30}, colors);
  ASSERT_TRUE(SavePng(*image, L"dialog_frame_test.png"));

  ScriptDialog d;
  ASSERT_TRUE(d.Open(nullptr, CRect(200, 150, 580, 350)));
  EXPECT_FALSE(d.LoadBKImage(VELO::CString(L"no_such_file.png")));
  ASSERT_TRUE(d.LoadBKImage(VELO::CString(L"dialog_frame_test.png")));
  d.SetBackMode(VELO::BACK_FRAME, 30);
  std::unique_ptr<Canvas> shot;
  d.onTimer = [&](ScriptDialog& self, UINT) {
    self.KillTimer(1);
    PaintNow(self.hwnd());
    shot = Grab(self.hwnd());
    self.DoOK();
  };
  d.SetTimer(1, 60);
  EXPECT_EQ(d.ShowModal(SW_SHOWNOACTIVATE), 1u);
  ASSERT_TRUE(shot);
  ASSERT_EQ(shot->width(), 380);
  ASSERT_EQ(shot->height(), 200);
  struct Probe {
    int x, y, block;
  };
  // Corners unscaled, edges stretched one way, the middle both ways. The
  // probes sit on both sides of each 30-pixel seam, except where a stretched
  // part ends: GDI+'s filter fades the last source pixel over the next few
  // (8x here), so those probes stay 10 pixels clear.
  const Probe probes[] = {{0, 0, 0},     {29, 29, 0},   {30, 0, 1},    {340, 29, 1},  {350, 0, 2},
                          {379, 29, 2},  {0, 30, 3},    {29, 160, 3},  {30, 30, 4},   {190, 100, 4},
                          {340, 160, 4}, {350, 30, 5},  {379, 160, 5}, {0, 170, 6},   {29, 199, 6},
                          {30, 170, 7},  {340, 199, 7}, {350, 170, 8}, {379, 199, 8}, {200, 185, 7}};
  for (const Probe& p : probes) {
    EXPECT_LE(ColorDistance(shot->Pixel(p.x, p.y), colors[p.block]), 8)
        << p.x << "," << p.y << " " << std::hex << shot->Pixel(p.x, p.y);
  }

  // The same image from a resource of the program's module.
  ScriptDialog r;
  r.Open(nullptr, CRect(200, 150, 300, 250));
  EXPECT_TRUE(r.LoadBKImage(201u, VELO::CString(L"PNG")));
  EXPECT_FALSE(r.LoadBKImage(202u, VELO::CString(L"PNG")));
  r.DestroyWindow();
}

}  // namespace
