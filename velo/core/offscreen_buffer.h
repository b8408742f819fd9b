// An off-screen bitmap selected into its own memory DC: the cached look of a
// control. Releasing selects the DC's original bitmap back before the DC and
// the bitmap are deleted.
#pragma once

#include <windows.h>

#include "common/win/unique_any.h"

namespace VELO {

class OffscreenBuffer {
 public:
  OffscreenBuffer() = default;
  ~OffscreenBuffer() { Release(); }
  OffscreenBuffer(const OffscreenBuffer&) = delete;
  OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

  // A DC compatible with `reference` and a cx × cy bitmap compatible with it.
  // On failure the buffer is left empty (size 0 × 0) and false returned.
  bool Create(HDC reference, int cx, int cy) noexcept;
  void Release() noexcept;

  HDC GetDC() const noexcept { return dc_.get(); }
  HBITMAP GetBitmap() const noexcept { return bitmap_.get(); }
  int Width() const noexcept { return cx_; }
  int Height() const noexcept { return cy_; }
  bool HasSize(int cx, int cy) const noexcept { return cx == cx_ && cy == cy_; }

 private:
  int cx_ = 0;
  int cy_ = 0;
  ostrel::win::unique_hbitmap bitmap_;
  ostrel::win::unique_hdc dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace VELO
