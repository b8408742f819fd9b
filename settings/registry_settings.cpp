#include "settings/registry_settings.h"

#include <windows.h>

#include <cwchar>

#include "common/win/unique_any.h"
#include "settings/setting_text.h"

namespace ostrel::settings {

namespace {

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\TEMP";
// A setting is a few digits; 255 bytes is the most ever read of one.
constexpr DWORD kReadBytes = 255;

// A value edited by hand may be stored under any of the string types; each
// reads as its leading number.
bool IsTextType(DWORD type) noexcept {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

int ReadSettingInt(const wchar_t* name) noexcept {
  win::unique_hkey key;
  const LSTATUS opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, key.put());
  if (opened == ERROR_FILE_NOT_FOUND) {
    win::unique_hkey created;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, created.put(), nullptr);
    return 0;
  }
  if (opened != ERROR_SUCCESS) return 0;

  // Twice the bytes read, all zero: whatever the call stores, even a string
  // stored without its terminating null, ends inside the buffer.
  wchar_t buffer[256] = {};
  DWORD size = kReadBytes;
  DWORD type = REG_SZ;
  const LSTATUS queried =
      ::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  // A value too long for the read leaves the buffer undefined, and a value of
  // a type that is not text (a REG_DWORD's bytes, say) reads as 0.
  if (queried != ERROR_SUCCESS || !IsTextType(type)) return 0;
  return ParseSettingText(buffer, size / sizeof(wchar_t));
}

void WriteSettingString(const wchar_t* name, const wchar_t* text) noexcept {
  if (!text) text = L"";
  win::unique_hkey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
  const DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
  ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

}  // namespace ostrel::settings
