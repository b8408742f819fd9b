// An environment variable of this process, however long.
#pragma once

#include <windows.h>

#include <string>

namespace ostrel::win {

// Empty when the variable is unset, empty or cannot be read. A value that
// another thread lengthens between the two calls is asked for again.
inline std::wstring EnvironmentVariable(const wchar_t* name) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::wstring();
    std::wstring value(size, L'\0');
    const DWORD n = ::GetEnvironmentVariableW(name, value.data(), size);
    if (n < size) {
      value.resize(n);
      return value;
    }
  }
  return std::wstring();
}

}  // namespace ostrel::win
