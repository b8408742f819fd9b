// Font families of one window, and the fonts it registered with the system:
// the library's memory font (AddFontMemResourceEx, private to the process)
// and private GDI+ collections loaded from files or resources.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/win/unique_any.h"
#include "velo/core/critical_section.h"
#include "velo/core/cstring.h"
#include "velo/core/velo_api.h"

namespace VELO {

class VELO_API FontCache {
 public:
  FontCache() = default;
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  ~FontCache() { Clear(); }

  // Resource `id` of type "ttf" in the library module, registered for GDI.
  bool AddMemoryFont(UINT id) noexcept;
  Gdiplus::FontFamily* AddFile(const wchar_t* name, const wchar_t* file);
  Gdiplus::FontFamily* AddResource(const wchar_t* name, UINT id);
  // The family of the library's one global face (Manager::GetFontName()),
  // whatever name is asked for; null when no such font is installed.
  Gdiplus::FontFamily* Find(const wchar_t* name);
  void Clear() noexcept;
  size_t MemoryFontCount() noexcept;

 private:
  Gdiplus::FontFamily* StoreFirstFamily(const wchar_t* name,
                                        std::unique_ptr<Gdiplus::PrivateFontCollection> collection);

  using MemoryFont = ostrel::win::unique_memory_font;

  CriticalSection m_lock;
  std::map<std::wstring, std::unique_ptr<Gdiplus::FontFamily>> m_families;
  std::vector<std::unique_ptr<Gdiplus::PrivateFontCollection>> m_collections;
  std::vector<MemoryFont> m_memoryFonts;
};

}  // namespace VELO
