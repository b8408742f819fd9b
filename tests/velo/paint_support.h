// A real window driven by a PaintManager, the way a dialog drives it, and
// helpers to make skin images, send mouse messages and read back what the
// window shows on the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/velo/render_support.h"
#include "velo/core/mobject.h"
#include "velo/core/mwindow.h"
#include "velo/paint/paint_manager.h"

namespace velo_test {

using VELO::CPoint;
using VELO::CRect;

struct Note {
  UINT id;
  UINT code;
};

class HostWindow : public VELO::MWindow, public VELO::MObject {
 public:
  // A popup at (x, y) of the given client size, shown without activation.
  HostWindow(int x, int y, int width, int height, bool layered);
  ~HostWindow() override;

  LPCWSTR GetWindowClassName() const override { return L"VeloPaintTestHost"; }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyMessage(HWND hwnd) override;
  const wchar_t* GetClassNameW() const override { return L"MDialog"; }
  LRESULT OnBaseMessage(UINT id, UINT code, WPARAM, LPARAM) override;
  LRESULT OnControlUpdate(CRect rc, int resetCache, VELO::MControl* control) override;

  HWND hwnd() const { return m_hWnd; }
  VELO::PaintManager pm;
  std::vector<Note> notes;
  int dragRequests = 0;
  std::function<void(UINT id, UINT code)> onNote;
  // Answers notifications when set (drops carry their data in wParam/lParam).
  std::function<LRESULT(UINT id, UINT code, WPARAM, LPARAM)> onMessage;
};

// Runs the thread's messages for about `ms` milliseconds.
void Pump(int ms = 30);
// Repaints now (WM_PAINT through the window procedure) and pumps.
void PaintNow(HWND window);
// A mouse message at a client point, with the real cursor moved there first
// (mouse tracking checks where the cursor is).
void Mouse(HWND window, UINT msg, CPoint pt, UINT keys = 0);

// Real input through the system's queue (SendInput), as a user's mouse
// makes it: needed where the system itself follows the button (OLE's drag
// loop, the tooltip's timers).
void RealMove(POINT screen);
void RealButton(bool down);
POINT ScreenPoint(HWND window, int x, int y);

// What the screen shows of the window's client area (a layered window's
// pushed pixels, premultiplied, alpha included).
std::unique_ptr<Canvas> Grab(HWND window);
bool Near(Argb a, Argb b, int tolerance = 2);

// Skin files in the folder the library reads them from.
std::wstring SkinFile(const wchar_t* name);
bool SavePng(Gdiplus::Bitmap& image, const wchar_t* name);
void WriteSkinBytes(const wchar_t* name, const std::vector<uint8_t>& bytes);
// A horizontal strip of solid frames, one colour each.
std::unique_ptr<Gdiplus::Bitmap> MakeStrip(const std::vector<Argb>& colors, int frameWidth, int frameHeight);

// Live GDI objects of this process: GetGuiResources where it counts (Wine
// 8 answers 0), else a walk over the GDI handle table.
int GdiObjectCount();
int ThreadWindowCount();

}  // namespace velo_test
