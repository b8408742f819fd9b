#include "velo/core/manager.h"

#include <map>

#include "common/swallowed_failure.h"
#include "common/win/module_path.h"
#include "velo/plain/scale.h"
#include "velo/plain/skin_path.h"

namespace VELO {

HINSTANCE Manager::m_hInstance = nullptr;
ULONG_PTR Manager::m_gdiplusToken = 0;
Gdiplus::GdiplusStartupInput Manager::m_gdiplusStartupInput;
CString Manager::m_fontname(L"Arial");
int Manager::m_fontwidth = 14;
float Manager::m_scale_value = 1.0f;
Gdiplus::Color Manager::m_select_color(0xFFBD30FF);
std::atomic<float> Manager::m_cpu_temp(0.0f);
UINT Manager::m_uControlID = 0;

namespace {

// Windows announced by AddWnd; touched on the UI thread only.
std::map<MWindow*, int>& WindowRegistry() {
  static std::map<MWindow*, int> registry;
  return registry;
}

// The key-is-down bit only: the low bit ("pressed since the last call") would
// also drop the first message after the keys were released.
bool IsDown(int vk) noexcept { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }
bool AltF4Held() noexcept { return IsDown(VK_MENU) && IsDown(VK_F4); }

}  // namespace

void Manager::SetInstance(HINSTANCE instance) noexcept { m_hInstance = instance; }
HINSTANCE Manager::GetInstance() noexcept { return m_hInstance; }

void Manager::InitGdiplus() noexcept {
  Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusStartupInput, nullptr);
  ::CoInitialize(nullptr);
  ::OleInitialize(nullptr);
  WindowRegistry().clear();
}

void Manager::UnInitGdiplus() noexcept {
  Gdiplus::GdiplusShutdown(m_gdiplusToken);
  ::CoUninitialize();
  ::OleUninitialize();
  WindowRegistry().clear();
}

void Manager::AddWnd(MWindow* window) noexcept {
  try {
    WindowRegistry()[window] = 0;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

void Manager::DeleteWnd(MWindow* window) noexcept { WindowRegistry().erase(window); }

bool Manager::IsWndRegistered(MWindow* window) noexcept { return WindowRegistry().contains(window); }

int Manager::GetWndCount() noexcept { return static_cast<int>(WindowRegistry().size()); }

void Manager::MessageLoop() noexcept {
  MSG msg{};
  // -1 is a failure, not a message: looping on it would spin for ever.
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (AltF4Held()) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

BOOL Manager::PreTranslateMessage(MSG*) noexcept { return AltF4Held() ? TRUE : FALSE; }

void Manager::SetFont(CString name, int size) {
  m_fontname = std::move(name);
  m_fontwidth = size;
}

void Manager::SetFontName(CString name) { m_fontname = std::move(name); }
CString Manager::GetFontName() { return m_fontname; }
void Manager::SetFontWidth(int size) noexcept { m_fontwidth = size; }
int Manager::GetFontWidth() noexcept { return m_fontwidth; }

void Manager::SetScaleValue(float scale) noexcept { m_scale_value = scale; }
float Manager::GetScaleValue() noexcept { return m_scale_value; }
int Manager::GetScaleValue(int v) noexcept { return ScaleTruncate(v, m_scale_value); }

Gdiplus::Color Manager::GetSelectColor() noexcept { return m_select_color; }

void Manager::SetCPUTemp(float temp) noexcept { m_cpu_temp.store(temp, std::memory_order_relaxed); }
float Manager::GetCPUTemp() noexcept { return m_cpu_temp.load(std::memory_order_relaxed); }

CString Manager::GetTheme() { return CString(L"theme1\\"); }

CString Manager::GetSkinPath() {
  return CString(SkinFolderFor(ostrel::win::ModulePath(nullptr), GetTheme().str()));
}

}  // namespace VELO
