// The full path of a loaded module (null: the running executable), however
// long: the buffer grows until the name fits instead of being cut at
// MAX_PATH. Empty when the module is unknown or the name will not fit in the
// longest path Windows allows.
#pragma once

#include <windows.h>

#include <string>

namespace ostrel::win {

inline std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    if (path.size() >= 0x10000) return std::wstring();
    path.resize(path.size() * 2);
  }
}

// The folder of that path with its trailing separator; empty without one.
inline std::wstring ModuleFolder(HMODULE module) {
  const std::wstring path = ModulePath(module);
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace ostrel::win
