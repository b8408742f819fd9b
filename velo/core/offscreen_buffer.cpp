#include "velo/core/offscreen_buffer.h"

namespace VELO {

bool OffscreenBuffer::Create(HDC reference, int cx, int cy) noexcept {
  Release();
  if (cx <= 0 || cy <= 0) return false;
  ostrel::win::unique_hdc dc(::CreateCompatibleDC(reference));
  if (!dc) return false;
  // A bitmap compatible with a fresh memory DC would be monochrome: take the
  // format of the reference DC (or of the screen when there is none).
  ostrel::win::unique_hbitmap bitmap;
  if (reference) {
    bitmap.reset(::CreateCompatibleBitmap(reference, cx, cy));
  } else {
    ostrel::win::unique_window_dc screen(nullptr);
    bitmap.reset(::CreateCompatibleBitmap(screen.get(), cx, cy));
  }
  if (!bitmap) return false;
  old_ = ::SelectObject(dc.get(), bitmap.get());
  dc_ = std::move(dc);
  bitmap_ = std::move(bitmap);
  cx_ = cx;
  cy_ = cy;
  return true;
}

void OffscreenBuffer::Release() noexcept {
  if (dc_ && old_) ::SelectObject(dc_.get(), old_);
  old_ = nullptr;
  dc_.reset();
  bitmap_.reset();
  cx_ = 0;
  cy_ = 0;
}

}  // namespace VELO
