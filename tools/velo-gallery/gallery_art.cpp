#include "tools/velo-gallery/gallery_art.h"

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <string>

#include "tools/velo-gallery/gallery_layout.h"
#include "velo/core/manager.h"

namespace velo_gallery {
namespace {

bool Save(Gdiplus::Bitmap& image, const wchar_t* name) {
  // {557CF406-1A04-11D3-9A73-0000F81EF32E}: GDI+'s PNG encoder.
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  const std::wstring folder = VELO::Manager::GetSkinPath().str();
  const std::wstring parent = folder.substr(0, folder.find_last_of(L'\\', folder.size() - 2) + 1);
  ::CreateDirectoryW(parent.c_str(), nullptr);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return image.Save((folder + name).c_str(), &png, nullptr) == Gdiplus::Ok;
}

// A panel with a dark rim and a lighter face, for the frame-mode background.
bool Background() {
  Gdiplus::Bitmap image(96, 96, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&image);
  Gdiplus::SolidBrush rim{Gdiplus::Color(kFrameEdge)};
  g.FillRectangle(&rim, 0, 0, 96, 96);
  Gdiplus::LinearGradientBrush band(Gdiplus::Point(0, 0), Gdiplus::Point(0, 24), Gdiplus::Color(0xFF3E5A8Au),
                                    Gdiplus::Color(kFrameEdge));
  g.FillRectangle(&band, 4, 4, 88, 20);
  Gdiplus::SolidBrush face{Gdiplus::Color(kFramePanel)};
  g.FillRectangle(&face, kFrameBorder, kFrameBorder, 96 - 2 * kFrameBorder, 96 - 2 * kFrameBorder);
  return Save(image, L"gallery_background.png");
}

// Four frames side by side: normal, hover, pressed, disabled.
bool Button() {
  constexpr int w = 60, h = 36;
  Gdiplus::Bitmap image(4 * w, h, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&image);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  for (int i = 0; i < 4; ++i) {
    Gdiplus::SolidBrush fill{Gdiplus::Color(kButtonFrames[i])};
    g.FillRectangle(&fill, i * w, 0, w, h);
    Gdiplus::Pen edge(Gdiplus::Color(0xFF1A2536u), 1.0f);
    g.DrawRectangle(&edge, i * w, 0, w - 1, h - 1);
  }
  return Save(image, L"gallery_button.png");
}

// A round emblem: an orange disc with a white ring.
bool Picture() {
  Gdiplus::Bitmap image(96, 96, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&image);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.Clear(Gdiplus::Color(0, 0, 0, 0));
  Gdiplus::SolidBrush disc{Gdiplus::Color(kPictureCore)};
  g.FillEllipse(&disc, 4, 4, 88, 88);
  Gdiplus::Pen ring(Gdiplus::Color(0xFFFFFFFFu), 6.0f);
  g.DrawEllipse(&ring, 22, 22, 52, 52);
  return Save(image, L"gallery_picture.png");
}

bool Popup() {
  Gdiplus::Bitmap image(48, 48, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&image);
  Gdiplus::SolidBrush rim{Gdiplus::Color(0xFFB58900u)};
  g.FillRectangle(&rim, 0, 0, 48, 48);
  Gdiplus::SolidBrush face{Gdiplus::Color(kPopupPanel)};
  g.FillRectangle(&face, 3, 3, 42, 42);
  return Save(image, L"gallery_popup.png");
}

// A soft grey halo for the pop-up's image shadow: 12-pixel margins.
bool Shadow() {
  Gdiplus::Bitmap image(36, 36, PixelFormat32bppARGB);
  for (int y = 0; y < 36; ++y) {
    for (int x = 0; x < 36; ++x) {
      const int dx = x < 12 ? 12 - x : x > 23 ? x - 23 : 0;
      const int dy = y < 12 ? 12 - y : y > 23 ? y - 23 : 0;
      const int d = dx > dy ? dx : dy;
      const int a = 110 - d * 9;
      image.SetPixel(x, y, Gdiplus::Color(static_cast<BYTE>(a > 0 ? a : 0), 0, 0, 0));
    }
  }
  return Save(image, L"gallery_shadow.png");
}

}  // namespace

bool WriteArtwork() { return Background() && Button() && Picture() && Popup() && Shadow(); }

}  // namespace velo_gallery
