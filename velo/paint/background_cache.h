// The window's background (image stretched or drawn in nine parts, or the
// bordered plain fill at alpha 254) rendered once into premultiplied 32-bit
// pixels and copied into every frame. GDI+ image drawing and alpha fills are
// the costliest part of a frame under Wine, and the background only changes
// with the window's size or settings.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "velo/core/geometry.h"

namespace VELO {

class BackgroundCache {
 public:
  struct Key {
    int width = 0;
    int height = 0;
    const Gdiplus::Image* image = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
    int mode = 0;
    int corner = 0;
    COLORREF fill = 0;
    COLORREF border = 0;
    bool operator==(const Key&) const = default;
  };

  // Copies the background's rows `rc` into a bottom-up 32-bit DIB of the
  // key's size, rendering it first when the key changed.
  void CopyInto(const Key& key, Gdiplus::Image* image, BYTE* bits, const CRect& rc);
  // Drops the rendering (the image it was made from is going).
  void Reset() noexcept;

 private:
  bool Render(const Key& key, Gdiplus::Image* image);

  Key m_key;
  bool m_valid = false;
  std::vector<uint32_t> m_pixels;  // top-down rows
};

}  // namespace VELO
