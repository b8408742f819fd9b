#include "velo/paint/background_cache.h"

#include <cstring>

#include "common/win/unique_any.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {
Gdiplus::Color Argb254(COLORREF c) { return Gdiplus::Color(0xFE, GetRValue(c), GetGValue(c), GetBValue(c)); }
}  // namespace

void BackgroundCache::Reset() noexcept {
  m_valid = false;
  m_pixels.clear();
  m_pixels.shrink_to_fit();
}

bool BackgroundCache::Render(const Key& key, Gdiplus::Image* image) {
  Reset();
  ostrel::win::unique_window_dc screen(nullptr);
  ostrel::win::unique_hdc dc = MRender::CreateCompatibleDC(screen.get());
  BYTE* bits = nullptr;
  ostrel::win::unique_hbitmap dib = MRender::CreateARGB32Bitmap(screen.get(), key.width, key.height, &bits);
  if (!dc || !dib || !bits) return false;
  {
    ostrel::win::scoped_select selected(dc.get(), dib.get());
    Gdiplus::Graphics g(dc.get());
    const CRect client(0, 0, key.width, key.height);
    if (image) {
      if (key.mode == 1) {
        MRender::DrawImageFrame(g, image, client, 0, 0, key.imageWidth, key.imageHeight, key.corner);
      } else {
        g.DrawImage(image, Gdiplus::Rect(0, 0, key.width, key.height), 0, 0, key.imageWidth, key.imageHeight,
                    Gdiplus::UnitPixel);
      }
    } else {
      Gdiplus::SolidBrush border(Argb254(key.border));
      g.FillRectangle(&border, 0, 0, key.width, key.height);
      Gdiplus::SolidBrush fill(Argb254(key.fill));
      g.FillRectangle(&fill, 1, 1, key.width - 2, key.height - 2);
    }
  }
  ::GdiFlush();
  const auto w = static_cast<size_t>(key.width);
  const auto h = static_cast<size_t>(key.height);
  m_pixels.resize(w * h);
  // DIB rows are bottom-up; the cache keeps window rows top-down.
  for (size_t r = 0; r < h; ++r) {
    std::memcpy(&m_pixels[r * w], bits + (h - 1 - r) * w * 4, w * 4);
  }
  m_key = key;
  m_valid = true;
  return true;
}

void BackgroundCache::CopyInto(const Key& key, Gdiplus::Image* image, BYTE* bits, const CRect& rc) {
  if (key.width <= 0 || key.height <= 0) return;
  if ((!m_valid || !(key == m_key)) && !Render(key, image)) return;
  const auto w = static_cast<size_t>(key.width);
  const auto h = static_cast<size_t>(key.height);
  const size_t count = static_cast<size_t>(rc.Width()) * 4;
  for (LONG r = rc.top; r < rc.bottom; ++r) {
    std::memcpy(bits + ((h - 1 - static_cast<size_t>(r)) * w + static_cast<size_t>(rc.left)) * 4,
                &m_pixels[static_cast<size_t>(r) * w + static_cast<size_t>(rc.left)], count);
  }
}

}  // namespace VELO
