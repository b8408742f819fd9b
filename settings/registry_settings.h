// The program's per-user settings: decimal text values under
// HKEY_CURRENT_USER\SOFTWARE\TEMP. Nothing here reports an error: a setting
// that cannot be read reads as 0 and a write that fails is lost.
#pragma once

namespace ostrel::settings {

// The first read on a fresh system creates the key, so that the writes that
// follow it succeed.
int ReadSettingInt(const wchar_t* name) noexcept;

// Writes only into an existing key; it never creates the key.
void WriteSettingString(const wchar_t* name, const wchar_t* text) noexcept;

}  // namespace ostrel::settings
