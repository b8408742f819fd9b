// The caret of an edit control, drawn by the window's paint step rather than
// by the system (a layered window has no system caret). As with ::CreateCaret
// the bitmap stays the caller's; without one the caret is an inverted block.
// It blinks on a timer of the window, at the user's blink rate.
#pragma once

#include <windows.h>

#include "velo/core/geometry.h"

namespace VELO {

class MRichEdit;

class Caret {
 public:
  void Create(HBITMAP bitmap, int width, int height) noexcept;
  // Each answers the client rectangle to repaint.
  CRect Show(HWND window, bool show) noexcept;
  CRect MoveTo(MRichEdit* owner, int x, int y) noexcept;
  CRect Blink() noexcept;
  // The window is going: its blink timer goes with it.
  void Stop(HWND window) noexcept;

  void Draw(HDC dc, const CRect& paint) const noexcept;
  // Recorded only: the caret belongs to the window.
  MRichEdit* Owner() const noexcept { return m_owner; }
  bool IsVisible() const noexcept { return m_visible; }
  const CRect& Rect() const noexcept { return m_rect; }

 private:
  CRect m_rect;
  bool m_visible = false;  // in the on phase of a blink
  bool m_on = false;       // shown by its owner, blinking
  MRichEdit* m_owner = nullptr;
  HBITMAP m_bitmap = nullptr;  // the caller's, as with ::CreateCaret
};

}  // namespace VELO
