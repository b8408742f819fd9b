// Buttons driven by mouse messages through the window, and text drawn in
// every awkward shape, read back from the screen.
#include <gtest/gtest.h>

#include <string>

#include "tests/velo/paint_support.h"
#include "velo/controls/mbutton.h"
#include "velo/controls/mtext.h"

using namespace velo_test;

namespace {

constexpr Argb kNormal = 0xFFFF0000u, kHover = 0xFF00FF00u, kPressed = 0xFF0000FFu, kDisabled = 0xFF404040u;

Argb ButtonCorner(HWND w) { return Grab(w)->Pixel(23, 23); }

TEST(PaintButton, FourFramesFollowTheMouseAndOnlyAPressAndReleaseInsideClick) {
  ASSERT_TRUE(SavePng(*MakeStrip({kNormal, kHover, kPressed, kDisabled}, 20, 12), L"btn_strip.png"));
  HostWindow w(300, 200, 200, 120, true);
  auto* button = static_cast<VELO::MButton*>(
      w.pm.CreateControl(&w, L"MButton", 33, CRect(20, 20, 100, 60), L"OK", 1, 1));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->SetImage(L"btn_strip.png", 4));
  PaintNow(w.hwnd());
  EXPECT_TRUE(Near(ButtonCorner(w.hwnd()), kNormal)) << std::hex << ButtonCorner(w.hwnd());

  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(30, 30));
  PaintNow(w.hwnd());
  EXPECT_EQ(button->GetState(), 1);
  EXPECT_TRUE(Near(ButtonCorner(w.hwnd()), kHover)) << std::hex << ButtonCorner(w.hwnd());

  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(30, 30), MK_LBUTTON);
  PaintNow(w.hwnd());
  EXPECT_EQ(button->GetState(), 2);
  EXPECT_TRUE(Near(ButtonCorner(w.hwnd()), kPressed));
  EXPECT_EQ(::GetCapture(), w.hwnd());
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(30, 30));
  EXPECT_EQ(button->GetState(), 1);
  EXPECT_EQ(::GetCapture(), nullptr);
  ASSERT_EQ(w.notes.size(), 2u);
  EXPECT_EQ(w.notes[0].code, 1u);
  EXPECT_EQ(w.notes[1].code, 2u);
  EXPECT_EQ(w.notes[1].id, 33u);

  // Pressed, dragged out and released there: back to normal, no click.
  w.notes.clear();
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(30, 30), MK_LBUTTON);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(150, 100), MK_LBUTTON);
  EXPECT_EQ(button->GetState(), 2);  // moves are ignored while pressed
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(150, 100));
  PaintNow(w.hwnd());
  EXPECT_EQ(button->GetState(), 0);
  EXPECT_TRUE(Near(ButtonCorner(w.hwnd()), kNormal));
  ASSERT_EQ(w.notes.size(), 1u);
  EXPECT_EQ(w.notes[0].code, 1u);

  // A release that was never pressed here is no click either.
  w.notes.clear();
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(30, 30));
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(30, 30));
  EXPECT_TRUE(w.notes.empty());

  // Disabled: the fourth frame at once, and the button ignores the mouse.
  button->SetEnabled(0);
  PaintNow(w.hwnd());
  EXPECT_EQ(button->GetState(), 3);
  EXPECT_TRUE(Near(ButtonCorner(w.hwnd()), kDisabled));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(30, 30), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(30, 30));
  EXPECT_TRUE(w.notes.empty());
  EXPECT_EQ(button->GetState(), 3);
  button->SetEnabled(1);
  EXPECT_EQ(button->GetState(), 0);

  // Leaving the window returns a hovered button to normal.
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(30, 30));
  EXPECT_EQ(button->GetState(), 1);
  ::SendMessageW(w.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(button->GetState(), 0);

  // A button filed as an area is drawn but never gets the mouse.
  auto* area =
      static_cast<VELO::MButton*>(w.pm.CreateArea(&w, L"MButton", 34, CRect(120, 20, 190, 60), L"", 1, 1));
  ASSERT_NE(area, nullptr);
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(150, 40));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(150, 40), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(150, 40));
  EXPECT_EQ(area->GetState(), 0);
  EXPECT_TRUE(w.notes.empty());
  EXPECT_EQ(w.pm.CreateControl(&w, L"mbutton", 35, CRect(), L"", 1, 1), nullptr);
  EXPECT_EQ(w.pm.CreateControl(&w, L"", 35, CRect(), L"", 1, 1), nullptr);
  EXPECT_EQ(w.pm.CreateControl(&w, nullptr, 35, CRect(), L"", 1, 1), nullptr);
  EXPECT_EQ(w.pm.GetControl(35), nullptr);
}

// Red ink on the grey window: where it landed.
struct Ink {
  CRect box;  // bounding box of red pixels, empty when none
  int count = 0;
};

Ink FindInk(const Canvas& c) {
  Ink ink;
  ink.box = CRect(10000, 10000, -1, -1);
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      const Argb p = c.Pixel(x, y);
      if (Red(p) > Green(p) + 60 && Red(p) > Blue(p) + 60) {
        ++ink.count;
        ink.box = CRect(std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y),
                        std::max<LONG>(ink.box.right, x + 1), std::max<LONG>(ink.box.bottom, y + 1));
      }
    }
  }
  if (!ink.count) ink.box = CRect();
  return ink;
}

bool Inside(const CRect& inner, const CRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST(PaintText, AlignmentWrappingCentringAndExtremesStayInsideTheRectangle) {
  HostWindow w(60, 400, 400, 200, true);
  const CRect rc(50, 40, 350, 160);
  auto* text = static_cast<VELO::MText*>(w.pm.CreateControl(&w, L"MText", 1, rc, L"Hello", 1, 1));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->IsEnabled(), 0);  // text is built disabled
  text->SetTextColor(Gdiplus::Color(0xFFFF0000));

  const auto draw = [&]() {
    w.pm.OnControlUpdate(text->GetRect(), 1, text);
    PaintNow(w.hwnd());
    return FindInk(*Grab(w.hwnd()));
  };
  // Left/top, centre/centre, right/bottom.
  const Ink leftTop = (text->SetAlignment(0, 0), draw());
  const Ink centre = (text->SetAlignment(1, 4), draw());
  const Ink rightBottom = (text->SetAlignment(2, 8), draw());
  for (const Ink& ink : {leftTop, centre, rightBottom}) {
    ASSERT_GT(ink.count, 10);
    EXPECT_TRUE(Inside(ink.box, rc));
  }
  EXPECT_LT(leftTop.box.left, rc.left + 6);
  EXPECT_LT(leftTop.box.top, rc.top + 8);
  EXPECT_GT(rightBottom.box.right, rc.right - 6);
  EXPECT_GT(rightBottom.box.bottom, rc.bottom - 8);
  EXPECT_NEAR((centre.box.left + centre.box.right) / 2, (rc.left + rc.right) / 2, 4);
  EXPECT_NEAR((centre.box.top + centre.box.bottom) / 2, (rc.top + rc.bottom) / 2, 5);

  // Wrapping in a narrow rectangle: several lines with multi-line on, one
  // line cut at the edge with it off.
  const CRect narrow(50, 20, 110, 180);
  text->SetRect(narrow);
  text->SetAlignment(0, 0);
  text->SetTitle(L"word word word word word");
  const Ink oneLine = draw();
  text->EnableMultiLine(TRUE);
  const Ink wrapped = draw();
  ASSERT_GT(oneLine.count, 10);
  ASSERT_GT(wrapped.count, 10);
  EXPECT_TRUE(Inside(oneLine.box, narrow));
  EXPECT_TRUE(Inside(wrapped.box, narrow));
  EXPECT_LT(oneLine.box.Height(), 20);
  EXPECT_GT(wrapped.box.Height(), 2 * oneLine.box.Height());
  // Vertical centring of the wrapped block.
  text->EnableVCenter(TRUE);
  const Ink centred = draw();
  EXPECT_NEAR((centred.box.top + centred.box.bottom) / 2, (narrow.top + narrow.bottom) / 2, 6);
  text->EnableMultiLine(FALSE);

  // Extremes: a huge text, an empty one, a zero-size rectangle.
  text->SetRect(rc);
  text->SetTitle(std::wstring(100000, L'W').c_str());
  const Ink huge = draw();
  EXPECT_TRUE(huge.count == 0 || Inside(huge.box, rc));
  text->SetTitle(L"");
  EXPECT_EQ(draw().count, 0);
  text->SetTitle(nullptr);
  EXPECT_EQ(draw().count, 0);
  text->SetTitle(L"Hello");
  text->SetRect(CRect(60, 60, 60, 60));
  EXPECT_EQ(draw().count, 0);
  text->SetRect(CRect(80, 80, 40, 40));  // inverted
  EXPECT_EQ(draw().count, 0);
}

}  // namespace
