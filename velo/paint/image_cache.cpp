#include "velo/paint/image_cache.h"

#include "velo/core/manager.h"
#include "velo/core/module.h"
#include "velo/render/mrender.h"

namespace VELO {

std::unique_ptr<ImgResInfo> ImageCache::MakeRecord(std::unique_ptr<Gdiplus::Image> image, int frames) {
  auto info = std::make_unique<ImgResInfo>();
  // A zero or negative count would divide by zero below; one frame is what
  // such a caller gets.
  info->frameCount = frames > 0 ? frames : 1;
  info->frameWidth = static_cast<int>(image->GetWidth()) / info->frameCount;
  info->frameHeight = static_cast<int>(image->GetHeight());
  info->image = image.get();
  info->owner = std::move(image);
  return info;
}

ImgResInfo* ImageCache::AddFile(const wchar_t* name, int frames) {
  if (!name || !*name) return nullptr;
  CriticalSectionGuard guard(m_lock);
  if (auto it = m_files.find(name); it != m_files.end()) return it->second.get();
  auto image = MRender::LoadImageFromFile(Manager::GetSkinPath() + CString(name));
  if (!image) return nullptr;
  ++m_loads;
  auto info = MakeRecord(std::move(image), frames);
  info->fileName = name;
  ImgResInfo* borrowed = info.get();
  m_files[name] = std::move(info);
  return borrowed;
}

ImgResInfo* ImageCache::AddResource(UINT id, const CString& type, int frames, bool applicationModule) {
  CriticalSectionGuard guard(m_lock);
  IdMap& map = applicationModule ? m_appResources : m_libResources;
  if (auto it = map.find(id); it != map.end()) return it->second.get();
  auto image = MRender::LoadImageFromIDResource(
      id, type, applicationModule ? Manager::GetInstance() : GetLibraryModule());
  if (!image) return nullptr;
  ++m_loads;
  auto info = MakeRecord(std::move(image), frames);
  info->resourceId = id;
  ImgResInfo* borrowed = info.get();
  map[id] = std::move(info);
  return borrowed;
}

void ImageCache::Clear() noexcept {
  Map files;
  IdMap app, lib;
  {
    CriticalSectionGuard guard(m_lock);
    files.swap(m_files);
    app.swap(m_appResources);
    lib.swap(m_libResources);
  }
}

size_t ImageCache::Count() noexcept {
  CriticalSectionGuard guard(m_lock);
  return m_files.size() + m_appResources.size() + m_libResources.size();
}

}  // namespace VELO
