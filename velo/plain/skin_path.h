// Where skin images live: the executable's folder + "skins\" + theme folder.
// No Win32 types: also built natively.
#pragma once

#include <string>
#include <string_view>

namespace VELO {

// The folder of `modulePath` (everything up to and including the last
// backslash or slash) followed by "skins\" and `theme`. A path without any
// separator yields a relative "skins\<theme>".
inline std::wstring SkinFolderFor(std::wstring_view modulePath, std::wstring_view theme) {
  const size_t cut = modulePath.find_last_of(L"\\/");
  std::wstring folder(cut == std::wstring_view::npos ? std::wstring_view() : modulePath.substr(0, cut + 1));
  folder += L"skins\\";
  folder += theme;
  return folder;
}

}  // namespace VELO
