// Shared pieces of the render tests: GDI+ started for the whole run, a 32-bit
// drawing surface whose pixels can be read back, and test images made of
// coloured blocks.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "common/win/unique_any.h"

namespace velo_test {

// 0xAARRGGBB, the order of a 32-bit DIB pixel read as one integer.
using Argb = uint32_t;

inline int Red(Argb c) { return (c >> 16) & 0xFF; }
inline int Green(Argb c) { return (c >> 8) & 0xFF; }
inline int Blue(Argb c) { return c & 0xFF; }
inline int Alpha(Argb c) { return c >> 24; }

// Largest difference of the colour channels (alpha ignored).
int ColorDistance(Argb a, Argb b);

// A memory DC with a bottom-up 32-bit DIB selected (the kind the paint
// manager draws into), made with MRender::CreateARGB32Bitmap.
class Canvas {
 public:
  Canvas(int width, int height, Argb fill = 0xFF000000u);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas();

  HDC dc() const { return dc_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(Argb color);
  void SetPixel(int x, int y, Argb color);
  Argb Pixel(int x, int y) const;

 private:
  ostrel::win::unique_hdc dc_;
  ostrel::win::unique_hbitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  BYTE* bits_ = nullptr;
  int width_;
  int height_;
};

// A GDI+ bitmap of 3 x 3 blocks with the given column widths, row heights
// and colours (row by row).
std::unique_ptr<Gdiplus::Bitmap> MakeBlockImage(const int (&columns)[3], const int (&rows)[3],
                                                const Argb (&colors)[9]);

// A file beside the test executable.
std::wstring TestFile(const wchar_t* name);

// An empty folder of its own under the temporary folder, removed with its
// files when the object goes.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::wstring& path() const { return path_; }
  std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

std::vector<uint8_t> ReadWholeFile(const std::wstring& path);

}  // namespace velo_test
