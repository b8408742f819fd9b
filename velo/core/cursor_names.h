// The cursor names a control may ask for, mapped to the numeric ids of the
// system cursors (IDC_ARROW...). No Win32 types: also built natively.
#pragma once

#include <string_view>

namespace VELO {

// 0 for a name that is not one of the seven (names are case-sensitive).
inline int SystemCursorIdForName(const wchar_t* name) noexcept {
  if (!name) return 0;
  struct Entry {
    std::wstring_view name;
    int id;
  };
  static constexpr Entry kCursors[] = {
      {L"arrow", 32512},  {L"wait", 32514}, {L"cross", 32515}, {L"sizewe", 32644},
      {L"sizens", 32645}, {L"hand", 32649}, {L"help", 32651},
  };
  const std::wstring_view wanted(name);
  for (const Entry& e : kCursors) {
    if (e.name == wanted) return e.id;
  }
  return 0;
}

}  // namespace VELO
