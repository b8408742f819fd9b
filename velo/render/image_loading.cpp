#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "velo/core/module.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

using unique_hglobal = ostrel::win::unique_any<ostrel::win::traits::null_invalid<HGLOBAL, ::GlobalFree>>;

std::unique_ptr<Gdiplus::Image> KeepIfDecoded(Gdiplus::Image* raw) noexcept {
  std::unique_ptr<Gdiplus::Image> image(raw);
  if (image && image->GetLastStatus() != Gdiplus::Ok) image.reset();
  return image;
}

// A stream over a private copy of the resource bytes. The stream owns the
// copy and frees it with its last reference, which GDI+ holds for as long as
// the image lives (it may decode lazily from it).
Microsoft::WRL::ComPtr<IStream> StreamOverCopy(const void* data, DWORD size) noexcept {
  unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) return nullptr;
  void* dst = ::GlobalLock(block.get());
  if (!dst) return nullptr;
  std::memcpy(dst, data, size);
  ::GlobalUnlock(block.get());
  Microsoft::WRL::ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, &stream))) return nullptr;
  block.release();
  return stream;
}

}  // namespace

ostrel::win::unique_hicon MRender::LoadIconFromFile(const CString& path) noexcept {
  // The shell may write the path of the associated program back into the
  // buffer, up to MAX_PATH characters, whatever the length of ours.
  std::vector<wchar_t> buffer(std::max<size_t>(MAX_PATH, static_cast<size_t>(path.GetLength())) + 1, L'\0');
  std::copy(path.str().begin(), path.str().end(), buffer.begin());
  WORD index = 0;
  return ostrel::win::unique_hicon(::ExtractAssociatedIconW(GetLibraryModule(), buffer.data(), &index));
}

std::unique_ptr<Gdiplus::Image> MRender::LoadImageFromFile(const CString& path) noexcept {
  return KeepIfDecoded(Gdiplus::Image::FromFile(path.GetString()));
}

std::unique_ptr<Gdiplus::Image> MRender::LoadImageFromFileEx(const CString& path, int width,
                                                             int height) noexcept {
  auto image = LoadImageFromFile(path);
  if (!image) return nullptr;
  if (width == 0 && height == 0) {
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
  }
  return KeepIfDecoded(
      image->GetThumbnailImage(static_cast<UINT>(width), static_cast<UINT>(height), nullptr, nullptr));
}

std::unique_ptr<Gdiplus::Image> MRender::LoadImageFromIDResource(UINT id, const CString& type,
                                                                 HINSTANCE module) noexcept {
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type.GetString());
  if (!info) return nullptr;
  const DWORD size = ::SizeofResource(module, info);
  HGLOBAL loaded = ::LoadResource(module, info);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data || size == 0) return nullptr;
  const auto stream = StreamOverCopy(data, size);
  if (!stream) return nullptr;
  return KeepIfDecoded(Gdiplus::Image::FromStream(stream.Get()));
}

}  // namespace VELO
