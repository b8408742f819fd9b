// Drag and drop of a control, driven by real mouse input (SendInput) so that
// OLE's drag loop sees the button go down and come up as it would for a user.
#include <gtest/gtest.h>
#include <ole2.h>

#include <atomic>
#include <thread>

#include "tests/velo/paint_support.h"
#include "velo/controls/mbutton.h"
#include "velo/paint/drag_image.h"

using namespace velo_test;

namespace {

constexpr Argb kNormal = 0xFFFF0000u, kHover = 0xFF00FF00u, kPressed = 0xFF0000FFu, kDisabled = 0xFF404040u;

class DraggableButton : public VELO::MButton {
 public:
  using MButton::MButton;
  HBITMAP GetControlDropBitmap() override { return GetManager()->GenerateBitmap(this, GetRect(), 0); }
};

struct OleSession {
  OleSession() { ok = SUCCEEDED(::OleInitialize(nullptr)); }
  ~OleSession() {
    if (ok) ::OleUninitialize();
  }
  bool ok;
};

// What the input thread saw while the drag was on.
struct DuringDrag {
  bool imageShown = false;
  RECT image{};
  POINT cursor{};
  RECT clip{};
  POINT pushedOut{};
};

// Presses at `from`, moves in steps to `to` and releases there, all in
// client coordinates; the UI thread pumps (and runs OLE's drag loop) until
// the input thread is done.
DuringDrag DragWithTheMouse(HWND window, POINT from, POINT to) {
  DuringDrag seen;
  std::atomic<bool> done{false};
  std::thread input([&] {
    const POINT a = ScreenPoint(window, from.x, from.y);
    const POINT b = ScreenPoint(window, to.x, to.y);
    RealMove(a);
    ::Sleep(150);
    RealButton(true);
    ::Sleep(150);
    for (int i = 1; i <= 8; ++i) {
      RealMove(POINT{a.x + (b.x - a.x) * i / 8, a.y + (b.y - a.y) * i / 8});
      ::Sleep(60);
    }
    ::Sleep(200);
    if (HWND image = ::FindWindowW(VELO::DragImage::ClassName(), nullptr)) {
      seen.imageShown = ::IsWindowVisible(image) != FALSE;
      ::GetWindowRect(image, &seen.image);
    }
    ::GetCursorPos(&seen.cursor);
    ::GetClipCursor(&seen.clip);
    // The cursor may not leave the window while dragging.
    RealMove(POINT{b.x + 2000, b.y});
    ::Sleep(150);
    ::GetCursorPos(&seen.pushedOut);
    RealMove(b);
    ::Sleep(150);
    RealButton(false);
    ::Sleep(300);
    done = true;
  });
  const DWORD start = ::GetTickCount();
  while (!done && ::GetTickCount() - start < 20000) Pump(20);
  input.join();
  Pump(100);
  return seen;
}

TEST(PaintDragDrop, AControlDraggedWithTheMouseDropsItsPictureOnTheControlUnderTheRelease) {
  OleSession ole;
  ASSERT_TRUE(ole.ok);
  ASSERT_TRUE(SavePng(*MakeStrip({kNormal, kHover, kPressed, kDisabled}, 20, 12), L"drag_strip.png"));
  HostWindow w(200, 150, 400, 200, false);
  auto* source = static_cast<VELO::MButton*>(
      w.pm.AddControl(std::make_unique<DraggableButton>(&w, 21, CRect(20, 40, 120, 100), L"", 1, 1), 1));
  ASSERT_TRUE(source->SetImage(L"drag_strip.png", 4));
  source->SetDragDrop(1);
  VELO::MControl* target = w.pm.CreateControl(&w, L"MButton", 22, CRect(250, 40, 350, 140), L"", 1, 1);
  ASSERT_NE(target, nullptr);
  PaintNow(w.hwnd());

  struct Drop {
    UINT id = 0;
    WPARAM format = 0;
    DWORD tymed = 0;
    SIZE size{};
    COLORREF corner = CLR_INVALID;
  } drop;
  int drops = 0;
  w.onMessage = [&](UINT id, UINT code, WPARAM format, LPARAM lParam) -> LRESULT {
    if (code != VELO::kDropNotification) return 0;
    ++drops;
    const auto* medium = reinterpret_cast<const STGMEDIUM*>(lParam);
    drop.id = id;
    drop.format = format;
    drop.tymed = medium->tymed;
    if (medium->tymed == TYMED_GDI) {
      BITMAP bm{};
      ::GetObjectW(medium->hBitmap, sizeof(bm), &bm);
      drop.size = {bm.bmWidth, bm.bmHeight};
      ostrel::win::unique_hdc dc(::CreateCompatibleDC(nullptr));
      ostrel::win::scoped_select sel(dc.get(), medium->hBitmap);
      drop.corner = ::GetPixel(dc.get(), 3, 3);
    }
    return 1;
  };

  RECT window{};
  ::GetWindowRect(w.hwnd(), &window);
  const DuringDrag seen = DragWithTheMouse(w.hwnd(), POINT{70, 70}, POINT{300, 90});

  // While dragging: the control's picture centred on the cursor, and the
  // cursor kept inside the window.
  EXPECT_TRUE(seen.imageShown);
  EXPECT_EQ(seen.image.right - seen.image.left, 100);
  EXPECT_EQ(seen.image.bottom - seen.image.top, 60);
  EXPECT_LE(std::abs((seen.image.left + seen.image.right) / 2 - seen.cursor.x), 1);
  EXPECT_LE(std::abs((seen.image.top + seen.image.bottom) / 2 - seen.cursor.y), 1);
  EXPECT_EQ(seen.clip.left, window.left);
  EXPECT_EQ(seen.clip.top, window.top);
  EXPECT_EQ(seen.clip.right, window.right);
  EXPECT_EQ(seen.clip.bottom, window.bottom);
  EXPECT_LT(seen.pushedOut.x, window.right);

  // The drop reached the owner once, for the control under the release,
  // with the picture of the dragged control as it looked under the mouse.
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(drop.id, 22u);
  EXPECT_EQ(drop.format, static_cast<WPARAM>(CF_BITMAP));
  EXPECT_EQ(drop.tymed, static_cast<DWORD>(TYMED_GDI));
  EXPECT_EQ(drop.size.cx, 100);
  EXPECT_EQ(drop.size.cy, 60);
  EXPECT_EQ(drop.corner, RGB(0, 255, 0)) << std::hex << drop.corner;

  // Afterwards: no picture, the cursor free, and the dragged button back to
  // normal without a click; the next press and release is an ordinary click.
  EXPECT_EQ(::FindWindowW(VELO::DragImage::ClassName(), nullptr), nullptr);
  RECT clip{};
  ::GetClipCursor(&clip);
  EXPECT_GT(clip.right - clip.left, window.right - window.left);
  EXPECT_EQ(source->GetState(), 0);
  int clicks = 0;
  for (const Note& n : w.notes) clicks += n.id == 21 && n.code == 2 ? 1 : 0;
  EXPECT_EQ(clicks, 0);
  w.notes.clear();
  Mouse(w.hwnd(), WM_MOUSEMOVE, CPoint(70, 70));
  Mouse(w.hwnd(), WM_LBUTTONDOWN, CPoint(70, 70), MK_LBUTTON);
  Mouse(w.hwnd(), WM_LBUTTONUP, CPoint(70, 70));
  ASSERT_EQ(w.notes.size(), 2u);
  EXPECT_EQ(w.notes[1].code, 2u);

  // Dropped where no control is: nobody is asked.
  DragWithTheMouse(w.hwnd(), POINT{70, 70}, POINT{180, 170});
  EXPECT_EQ(drops, 1);
}

}  // namespace
