// The transient message and progress box drawn over a window: shown at full
// strength, held for 3 s (window timer 66), then faded in steps of 10 every
// 50 ms (timer 88); a progress value animates towards its target in steps
// of 2 every 10 ms (timer 99). The box's state, timers and drawing.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/velo_api.h"

namespace VELO {

enum MsgLevel { MSG_INFO = 0, MSG_WARNING = 1, MSG_ERROR = 2 };

class VELO_API MessageOverlay {
 public:
  // The window the timers run on and whether it repaints whole (layered).
  void Bind(HWND window, const int* layered) noexcept {
    m_hWnd = window;
    m_pLayered = layered;
  }
  void SetMessage(const CString& text, CRect rc, MsgLevel level);
  void SetProgress(int percent, const CString& text, CRect rc);
  // True when the timer id is the overlay's own.
  bool OnTimer(UINT id);
  void Stop() noexcept;
  void Draw(Gdiplus::Graphics& g, Gdiplus::FontFamily* family) const;

  // Draw paints something only then.
  bool IsVisible() const noexcept { return m_alpha > 10 && !m_text.IsEmpty(); }
  int GetAlpha() const noexcept { return m_alpha; }
  int GetProgress() const noexcept { return m_progress; }
  int GetProgressTarget() const noexcept { return m_target; }
  const CString& GetText() const noexcept { return m_text; }
  CRect GetRect() const noexcept { return m_rc; }
  MsgLevel GetLevel() const noexcept { return m_level; }
  const CString& GetFontName() const noexcept { return m_fontName; }

 private:
  void Invalidate() const noexcept;
  void StartFade() noexcept;
  bool Live() const noexcept { return m_hWnd && ::IsWindow(m_hWnd); }

  HWND m_hWnd = nullptr;
  const int* m_pLayered = nullptr;
  CString m_text;
  MsgLevel m_level = MSG_INFO;
  int m_alpha = 0;
  int m_progress = 0;
  int m_target = 0;
  CString m_fontName = L"Arial";
  CRect m_rc;
};

}  // namespace VELO
