// MRender: the drawing and loading operations every control and the paint
// manager share. Stateless; all members are static. Whatever an operation
// creates is handed back in an owner (std::unique_ptr for GDI+ images, the
// unique_any aliases for GDI handles), so callers cannot leak it.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <memory>

#include "common/win/unique_any.h"
#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/velo_api.h"

namespace VELO {

class VELO_API MRender {
 public:
  MRender() = delete;

  // The shell's icon for the file (an icon file's own first icon).
  static ostrel::win::unique_hicon LoadIconFromFile(const CString& path) noexcept;
  // Null when GDI+ cannot open or decode the file.
  static std::unique_ptr<Gdiplus::Image> LoadImageFromFile(const CString& path) noexcept;
  // A width x height thumbnail of the file; 0 x 0 keeps the image's size.
  static std::unique_ptr<Gdiplus::Image> LoadImageFromFileEx(const CString& path, int width,
                                                             int height) noexcept;
  // Image resource `id` of the given type name ("PNG") in `module`; null when
  // the resource is missing or does not decode.
  static std::unique_ptr<Gdiplus::Image> LoadImageFromIDResource(UINT id, const CString& type,
                                                                 HINSTANCE module) noexcept;

  // Black (any alpha) becomes black + 1 so it never equals a zero colour key.
  static void CheckAlphaColor(DWORD& color) noexcept;
  // Opaque GDI fill; leaves the colour as the DC's background colour.
  static void FillSolidRect(HDC dc, const RECT* rect, COLORREF color) noexcept;
  static void FillSolidRect(HDC dc, int x, int y, int cx, int cy, COLORREF color) noexcept;
  // GDI+ fill with an ARGB colour, blending partial alpha; alpha 0 draws nothing.
  static void DrawColor(HDC dc, const RECT& rect, DWORD argb) noexcept;

  // Copies `src` onto `dst` one row (column) at a time with a constant alpha
  // per line, running from `from` percent transparency at the first line to
  // `to` percent at the last. Returns the last alpha used, 255 for no lines.
  static int DrawVerticalTransition(HDC dst, HDC src, const CRect& dstRect, const CRect& srcRect, int from,
                                    int to) noexcept;
  static int DrawHorizontalTransition(HDC dst, HDC src, const CRect& dstRect, const CRect& srcRect, int from,
                                      int to) noexcept;
  // Fades the size x size block at the bottom-right of a rect-sized area
  // (coordinates relative to the area's origin); `color` is not used.
  static void DrawRightBottomTransition(HDC dst, HDC src, CRect rect, int size, COLORREF color) noexcept;

  // Nine-part drawing of the source cell onto `dst`: corners of `corner`
  // pixels unscaled, edges stretched along one axis, the middle along both.
  static void DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dst, int srcX,
                             int srcY, int srcW, int srcH, int corner) noexcept;
  // The same with four separate margins.
  static void DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dst, int srcX,
                                int srcY, int srcW, int srcH, int left, int top, int right,
                                int bottom) noexcept;

  static ostrel::win::unique_hdc CreateCompatibleDC(HDC dc) noexcept;
  static ostrel::win::unique_hbitmap CreateCompatibleBitmap(HDC dc, int cx, int cy) noexcept;
  // 32 bits per pixel, bottom-up rows; `bits` receives the pixels (or null).
  static ostrel::win::unique_hbitmap CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits) noexcept;
  static BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy) noexcept;
  static BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, DWORD rop) noexcept;

  // Text size measured from the text's GDI+ outline, in whole pixels.
  static Gdiplus::Size GetTextBounds(const Gdiplus::Font& font, const CString& text) noexcept;
  static Gdiplus::Size GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                     const CString& text) noexcept;
  static Gdiplus::Size GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                     int layoutWidth, const CString& text) noexcept;

  // Top-left of cw x ch content aligned in w x h (horizontal 0/1/2, vertical
  // 0/4/8).
  static CPoint GetOriginPoint(int width, int height, int contentWidth, int contentHeight, UINT horizontal,
                               UINT vertical) noexcept;
  // The same inside a box, in the box's coordinates and 2 pixels lower.
  static CPoint GetOriginPoint(CRect box, int contentWidth, int contentHeight, UINT horizontal,
                               UINT vertical) noexcept;

  // GDI DrawText in a colour and font on a transparent background; colour
  // and font are restored afterwards.
  static void DrawTextW(HDC dc, CRect& rect, const wchar_t* text, COLORREF color, HFONT font,
                        UINT format) noexcept;

  // Two ARGB colours, `from` at the top (left) and `to` at the bottom
  // (right), drawn at the average of their alphas.
  static void DrawGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps) noexcept;

  // Kept for callers of the interface; draws nothing.
  static void DrawRectangle(HDC dc, const CRect& rect, int, int, int) noexcept;

  static void DrawRoundRectange(Gdiplus::Graphics& g, Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL w,
                                Gdiplus::REAL h, Gdiplus::REAL radius, Gdiplus::Color fill) noexcept;
  // Corner radii are w / divisor / 2 and h / divisor / 2.
  static void DrawRoundRectange(Gdiplus::Graphics& g, Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL w,
                                Gdiplus::REAL h, Gdiplus::REAL divisor, Gdiplus::Color pen,
                                Gdiplus::REAL penWidth, bool fill, Gdiplus::Color fillColor) noexcept;
  static void AddRoundedRectangle(Gdiplus::GraphicsPath& path, Gdiplus::REAL x, Gdiplus::REAL y,
                                  Gdiplus::REAL w, Gdiplus::REAL h, Gdiplus::REAL radius) noexcept;
  static void RotatePoint(Gdiplus::PointF& point, Gdiplus::REAL degrees,
                          const Gdiplus::PointF& center) noexcept;

  // Writes a Windows BMP file at the display's depth (24 bits above 8).
  // FALSE, and no file left behind, when the bitmap cannot be read or the
  // file cannot be created or written.
  static BOOL SaveBitmapToFile(HBITMAP bitmap, const CString& path) noexcept;

  // An iw x ih image fitted into the box without enlarging it, centred.
  static CRect GetImageRect(int imageWidth, int imageHeight, CRect box) noexcept;
};

}  // namespace VELO
