// The skin images of one window, loaded once and kept until the window goes:
// by file name (as requested, case-sensitive), by resource id of the
// application module and by resource id of the library. Controls hold plain
// pointers into the records and never delete the images.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>

#include "velo/core/critical_section.h"
#include "velo/core/cstring.h"
#include "velo/core/velo_api.h"

namespace VELO {

struct ImgResInfo {
  Gdiplus::Image* image = nullptr;  // owned through `owner`
  int frameWidth = 0;
  int frameHeight = 0;
  int frameCount = 1;
  CString fileName;
  UINT resourceId = 0;
  std::unique_ptr<Gdiplus::Image> owner;
};

class VELO_API ImageCache {
 public:
  ImageCache() = default;
  ImageCache(const ImageCache&) = delete;
  ImageCache& operator=(const ImageCache&) = delete;

  // A hit returns the existing record whatever its frame count; a failed
  // load caches nothing, so the next call tries again.
  ImgResInfo* AddFile(const wchar_t* name, int frames);
  ImgResInfo* AddResource(UINT id, const CString& type, int frames, bool applicationModule);
  void Clear() noexcept;
  size_t Count() noexcept;
  // How many images were actually decoded since construction.
  int LoadCount() const noexcept { return m_loads; }

 private:
  using Map = std::map<std::wstring, std::unique_ptr<ImgResInfo>>;
  using IdMap = std::map<UINT, std::unique_ptr<ImgResInfo>>;
  static std::unique_ptr<ImgResInfo> MakeRecord(std::unique_ptr<Gdiplus::Image> image, int frames);

  CriticalSection m_lock;
  Map m_files;
  IdMap m_appResources;
  IdMap m_libResources;
  int m_loads = 0;
};

}  // namespace VELO
