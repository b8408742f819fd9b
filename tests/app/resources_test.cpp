// What the program's resources carry, read from a linked executable (the
// lifecycle probe links them as Ostrel.exe does) and from VELO.dll.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/resource_ids.h"
#include "app/version.h"
#include "common/win/unique_any.h"
#include "tests/app/test_process_win.h"

namespace ostrel::app {
namespace {

std::string ResourceText(HMODULE module, LPCWSTR id, LPCWSTR type) {
  HRSRC found = ::FindResourceW(module, id, type);
  if (!found) return {};
  HGLOBAL loaded = ::LoadResource(module, found);
  const auto* data = static_cast<const char*>(::LockResource(loaded));
  return data ? std::string(data, ::SizeofResource(module, found)) : std::string();
}

std::wstring VersionString(const std::wstring& file, const wchar_t* name) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  std::string block(size, '\0');
  if (!size || !::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return {};
  return std::wstring(value);
}

TEST(AppResources, IconVersionAndManifestOfTheProgram) {
  const std::wstring exe = (testing::ExecutableFolder() / "lifecycle_probe.exe").wstring();
  win::unique_hmodule module(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module);

  for (int size : {16, 32, 48, 256}) {
    win::unique_hicon icon(static_cast<HICON>(
        ::LoadImageW(module.get(), MAKEINTRESOURCEW(IDI_OSTREL), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    ASSERT_TRUE(icon) << size;
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
  }

  const std::string manifest =
      ResourceText(module.get(), CREATEPROCESS_MANIFEST_RESOURCE_ID, MAKEINTRESOURCEW(24));
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
  // DPI awareness is decided at run time from the screen size.
  EXPECT_EQ(manifest.find("dpiAware"), std::string::npos) << manifest;
  EXPECT_EQ(manifest.find("dpiAwareness"), std::string::npos) << manifest;
  module.reset();

  EXPECT_EQ(VersionString(exe, L"ProductName"), L"Ostrel");
  // Every place the program carries its version shows the project's one.
  EXPECT_NE(manifest.find("version=\"" OSTREL_VERSION_TEXT "\""), std::string::npos) << manifest;
  EXPECT_EQ(VersionString(exe, L"ProductVersion"), OSTREL_VERSION_WIDE);
  EXPECT_EQ(VersionString(exe, L"FileVersion"), OSTREL_VERSION_WIDE);
  DWORD ignored = 0;
  std::string block(::GetFileVersionInfoSizeW(exe.c_str(), &ignored), '\0');
  ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const DWORD high = MAKELONG(OSTREL_VERSION_MINOR, OSTREL_VERSION_MAJOR);
  const DWORD low = MAKELONG(OSTREL_VERSION_TWEAK, OSTREL_VERSION_PATCH);
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
}

TEST(AppResources, VeloCarriesTheCommonControlsDependency) {
  const std::wstring dll = (testing::BuildFolder() / "bin" / "VELO.dll").wstring();
  win::unique_hmodule module(::LoadLibraryExW(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module);
  const std::string manifest =
      ResourceText(module.get(), ISOLATIONAWARE_MANIFEST_RESOURCE_ID, MAKEINTRESOURCEW(24));
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos)
      << manifest;
}

}  // namespace
}  // namespace ostrel::app
