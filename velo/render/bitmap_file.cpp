#include "velo/plain/bitmap_file.h"

#include <vector>

#include "velo/render/mrender.h"

namespace VELO {
namespace {

using ostrel::win::unique_file;

struct DisplayDc {
  HDC dc = ::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  DisplayDc() = default;
  DisplayDc(const DisplayDc&) = delete;
  DisplayDc& operator=(const DisplayDc&) = delete;
  ~DisplayDc() {
    if (dc) ::DeleteDC(dc);
  }
};

struct DibWithPalette {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

// Pixels (and the colour table up to 8 bits) at the layout's depth, read
// with the default palette selected into a screen DC.
bool ReadPixels(HBITMAP bitmap, const render::BitmapFileLayout& layout, DibWithPalette& info,
                std::vector<BYTE>& pixels) noexcept {
  info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = layout.width;
  info.header.biHeight = layout.height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(layout.bits);
  info.header.biCompression = BI_RGB;
  pixels.assign(layout.imageSize, 0);
  const ostrel::win::unique_window_dc screen(nullptr);
  if (!screen) return false;
  HPALETTE old =
      ::SelectPalette(screen.get(), static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
  ::RealizePalette(screen.get());
  const int lines = ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(layout.height), pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  if (old) ::SelectPalette(screen.get(), old, FALSE);
  return lines == layout.height;
}

bool WriteAll(HANDLE file, const void* data, DWORD size) noexcept {
  DWORD written = 0;
  return size == 0 || (::WriteFile(file, data, size, &written, nullptr) && written == size);
}

}  // namespace

BOOL MRender::SaveBitmapToFile(HBITMAP bitmap, const CString& path) noexcept {
  int displayBits = 0;
  {
    const DisplayDc display;
    if (display.dc)
      displayBits = ::GetDeviceCaps(display.dc, PLANES) * ::GetDeviceCaps(display.dc, BITSPIXEL);
  }
  BITMAP object{};
  if (!bitmap || ::GetObjectW(bitmap, sizeof(object), &object) != sizeof(object)) return FALSE;
  render::BitmapFileLayout layout;
  if (!render::MakeBitmapFileLayout(object.bmWidth, object.bmHeight, render::FileBitsForDisplay(displayBits),
                                    layout)) {
    return FALSE;
  }
  // Everything is read before the file is touched, so a bitmap that cannot
  // be read leaves any existing file alone.
  DibWithPalette info;
  std::vector<BYTE> pixels;
  if (!ReadPixels(bitmap, layout, info, pixels)) return FALSE;

  bool ok = false;
  {
    const unique_file file(::CreateFileW(path.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return FALSE;
    const auto headers = render::BitmapFileHeaders(layout);
    ok = WriteAll(file.get(), headers.data(), static_cast<DWORD>(headers.size())) &&
         WriteAll(file.get(), info.colors, layout.paletteBytes) &&
         WriteAll(file.get(), pixels.data(), layout.imageSize);
  }
  // A short file would read as a damaged image: none is better.
  if (!ok) ::DeleteFileW(path.GetString());
  return ok ? TRUE : FALSE;
}

}  // namespace VELO
