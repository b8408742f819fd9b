#include <shlobj.h>
#include <windows.h>

#include <optional>

#include "common/win/environment.h"
#include "update/update_locations.h"
#include "update/update_server.h"

#ifndef OSTREL_UPDATE_SERVER_DEFAULT
#define OSTREL_UPDATE_SERVER_DEFAULT L"https://update.ostrel.invalid"
#endif

namespace ostrel::update {

namespace {

std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
  std::wstring value = win::EnvironmentVariable(name);
  if (value.empty()) return std::nullopt;
  return value;
}

std::optional<std::wstring> RegistryValue(const wchar_t* name) {
  DWORD bytes = 0;
  constexpr wchar_t kKey[] = L"SOFTWARE\\TEMP";
  if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, value.data(), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(value.find(L'\0') == std::wstring::npos ? value.size() : value.find(L'\0'));
  return value;
}

}  // namespace

const wchar_t* BuiltInUpdateOrigin() noexcept { return OSTREL_UPDATE_SERVER_DEFAULT; }

std::wstring UpdateOrigin() {
  return ResolveUpdateOrigin(EnvironmentValue(kUpdateServerVariable), RegistryValue(kUpdateServerValue),
                             BuiltInUpdateOrigin());
}

std::wstring DataFolder() {
  wchar_t local[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local))) return {};
  return std::wstring(local) + L"\\TEMP Files\\";
}

std::wstring DownloadFolder(const std::wstring& data_folder) { return data_folder + L"\\temp\\"; }

std::wstring DownloadedFile(const std::wstring& data_folder, const std::wstring& name) {
  return data_folder + L"\\temp\\" + name;
}

}  // namespace ostrel::update
