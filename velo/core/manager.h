// Manager: the process-wide settings of the library (module instance, GDI+
// and COM/OLE start-up, default font, scale, selection colour, theme, the
// program's last CPU temperature) and a plain message loop. Static members
// only; every part of the library reads them.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <atomic>

#include "velo/core/cstring.h"
#include "velo/core/velo_api.h"

namespace VELO {

class MWindow;

class VELO_API Manager {
 public:
  Manager& operator=(const Manager&) noexcept { return *this; }
  Manager& operator=(Manager&&) noexcept { return *this; }

  static void SetInstance(HINSTANCE instance) noexcept;
  static HINSTANCE GetInstance() noexcept;

  // GDI+, then COM, then OLE; results are not checked (the program may have
  // started them itself). Both also empty the window registry.
  static void InitGdiplus() noexcept;
  static void UnInitGdiplus() noexcept;

  static void AddWnd(MWindow* window) noexcept;
  static void DeleteWnd(MWindow* window) noexcept;
  static bool IsWndRegistered(MWindow* window) noexcept;
  static int GetWndCount() noexcept;

  // Runs until WM_QUIT (or a GetMessageW failure). While Alt and F4 are both
  // down every message is dropped, so a held Alt+F4 closes nothing.
  static void MessageLoop() noexcept;
  static BOOL PreTranslateMessage(MSG* msg) noexcept;

  static void SetFont(CString name, int size);
  static void SetFontName(CString name);
  static CString GetFontName();
  static void SetFontWidth(int size) noexcept;
  static int GetFontWidth() noexcept;

  static void SetScaleValue(float scale) noexcept;
  static float GetScaleValue() noexcept;
  // v × scale, truncated toward zero: 15 at 1.5 gives 22.
  static int GetScaleValue(int v) noexcept;

  static Gdiplus::Color GetSelectColor() noexcept;

  // May be called from any thread; the paint step reads it on the UI thread.
  // Not a number (NaN) means no reading: the readout shows "--".
  static void SetCPUTemp(float temp) noexcept;
  static float GetCPUTemp() noexcept;

  // Always "theme1\".
  static CString GetTheme();
  // Executable folder + "skins\" + GetTheme(), with the trailing backslash.
  static CString GetSkinPath();

  static HINSTANCE m_hInstance;
  static ULONG_PTR m_gdiplusToken;
  static Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
  static CString m_fontname;
  static int m_fontwidth;
  static float m_scale_value;
  static Gdiplus::Color m_select_color;
  // Written by the worker thread, read by the paint step: atomic so that the
  // hand-over is a defined one.
  static std::atomic<float> m_cpu_temp;
  static UINT m_uControlID;
};

}  // namespace VELO
