#include "velo/paint/font_cache.h"

#include "common/swallowed_failure.h"
#include "velo/core/manager.h"
#include "velo/core/module.h"

namespace VELO {
namespace {

struct ResourceBytes {
  const void* data = nullptr;
  DWORD size = 0;
};

ResourceBytes FindTtf(UINT id) noexcept {
  HMODULE module = GetLibraryModule();
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"ttf");
  if (!info) return {};
  HGLOBAL loaded = ::LoadResource(module, info);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  return data ? ResourceBytes{data, ::SizeofResource(module, info)} : ResourceBytes{};
}

}  // namespace

bool FontCache::AddMemoryFont(UINT id) noexcept {
  const ResourceBytes bytes = FindTtf(id);
  if (!bytes.data || bytes.size == 0) return false;
  DWORD installed = 0;
  HANDLE handle = ::AddFontMemResourceEx(const_cast<void*>(bytes.data), bytes.size, nullptr, &installed);
  if (!handle) return false;
  MemoryFont font(handle);
  CriticalSectionGuard guard(m_lock);
  try {
    m_memoryFonts.push_back(std::move(font));
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return false;
  }
  return true;
}

Gdiplus::FontFamily* FontCache::StoreFirstFamily(const wchar_t* name,
                                                 std::unique_ptr<Gdiplus::PrivateFontCollection> collection) {
  if (collection->GetFamilyCount() <= 0) return nullptr;
  auto family = std::make_unique<Gdiplus::FontFamily>();
  int found = 0;
  if (collection->GetFamilies(1, family.get(), &found) != Gdiplus::Ok || found != 1) return nullptr;
  Gdiplus::FontFamily* borrowed = family.get();
  CriticalSectionGuard guard(m_lock);
  // The family refers into its collection: both stay until Clear.
  m_collections.push_back(std::move(collection));
  m_families[name ? name : L""] = std::move(family);
  return borrowed;
}

Gdiplus::FontFamily* FontCache::AddFile(const wchar_t* name, const wchar_t* file) {
  if (!file) return nullptr;
  auto collection = std::make_unique<Gdiplus::PrivateFontCollection>();
  if (collection->AddFontFile(file) != Gdiplus::Ok) return nullptr;
  return StoreFirstFamily(name, std::move(collection));
}

Gdiplus::FontFamily* FontCache::AddResource(const wchar_t* name, UINT id) {
  const ResourceBytes bytes = FindTtf(id);
  if (!bytes.data || bytes.size == 0) return nullptr;
  auto collection = std::make_unique<Gdiplus::PrivateFontCollection>();
  if (collection->AddMemoryFont(bytes.data, static_cast<INT>(bytes.size)) != Gdiplus::Ok) return nullptr;
  return StoreFirstFamily(name, std::move(collection));
}

Gdiplus::FontFamily* FontCache::Find(const wchar_t*) {
  const CString key = Manager::GetFontName();
  CriticalSectionGuard guard(m_lock);
  if (auto it = m_families.find(key.str()); it != m_families.end()) return it->second.get();
  auto family = std::make_unique<Gdiplus::FontFamily>(key.GetString());
  if (!family->IsAvailable()) return nullptr;
  Gdiplus::FontFamily* borrowed = family.get();
  m_families[key.str()] = std::move(family);
  return borrowed;
}

void FontCache::Clear() noexcept {
  CriticalSectionGuard guard(m_lock);
  m_families.clear();
  m_collections.clear();
  m_memoryFonts.clear();
}

size_t FontCache::MemoryFontCount() noexcept {
  CriticalSectionGuard guard(m_lock);
  return m_memoryFonts.size();
}

}  // namespace VELO
