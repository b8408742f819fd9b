// Conversions between wide text and single-byte text in a code page. Text
// that does not convert, or is too long for the platform's int lengths,
// gives an empty string.
#pragma once

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

namespace ostrel::win {

inline std::string Narrow(std::wstring_view text, UINT code_page = CP_UTF8) {
  if (text.empty() || text.size() > INT_MAX) return std::string();
  const int length = static_cast<int>(text.size());
  const int n = ::WideCharToMultiByte(code_page, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(code_page, 0, text.data(), length, out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring Widen(std::string_view text, UINT code_page = CP_UTF8) {
  if (text.empty() || text.size() > INT_MAX) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int n = ::MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), length, out.data(), n);
  return out;
}

}  // namespace ostrel::win
