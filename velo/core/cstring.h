// CString: the library's wide string, a value type over std::wstring with the
// operations the library and the program use. Formatting follows the
// Windows convention of the wide printf family: %s takes a wide string.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cwctype>
#include <string>
#include <string_view>

#include "common/win/text.h"

namespace VELO {

class CString {
 public:
  CString() = default;
  CString(const wchar_t* text) : s_(text ? text : L"") {}  // NOLINT: implicit by design
  CString(const wchar_t* text, int length) : s_(text ? std::wstring(text, length < 0 ? 0 : length) : L"") {}
  CString(std::wstring text) : s_(std::move(text)) {}  // NOLINT
  CString(std::wstring_view text) : s_(text) {}        // NOLINT
  CString(wchar_t ch, int repeat = 1) : s_(repeat < 0 ? 0 : repeat, ch) {}

  // From single-byte text in the given code page (ANSI by default).
  static CString FromMultiByte(const char* text, UINT codePage = CP_ACP) {
    return CString(ostrel::win::Widen(text ? text : "", codePage));
  }
  std::string ToMultiByte(UINT codePage = CP_ACP) const { return ostrel::win::Narrow(s_, codePage); }

  int GetLength() const noexcept { return static_cast<int>(s_.size()); }
  bool IsEmpty() const noexcept { return s_.empty(); }
  void Empty() noexcept { s_.clear(); }
  const wchar_t* GetString() const noexcept { return s_.c_str(); }
  operator const wchar_t*() const noexcept { return s_.c_str(); }  // NOLINT: implicit by design
  const std::wstring& str() const noexcept { return s_; }

  // Out-of-range positions read as 0 and are not written.
  wchar_t GetAt(int i) const noexcept { return InRange(i) ? s_[static_cast<size_t>(i)] : L'\0'; }
  void SetAt(int i, wchar_t ch) noexcept {
    if (InRange(i)) s_[static_cast<size_t>(i)] = ch;
  }

  CString& operator=(const wchar_t* text) {
    s_ = text ? text : L"";
    return *this;
  }
  CString& operator+=(const CString& o) {
    s_ += o.s_;
    return *this;
  }
  CString& operator+=(const wchar_t* text) {
    if (text) s_ += text;
    return *this;
  }
  CString& operator+=(wchar_t ch) {
    s_ += ch;
    return *this;
  }
  friend CString operator+(CString a, const CString& b) { return a += b; }
  friend CString operator+(CString a, const wchar_t* b) { return a += b; }
  friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) += b; }
  friend CString operator+(CString a, wchar_t b) { return a += b; }

  friend bool operator==(const CString& a, const CString& b) noexcept { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const wchar_t* b) noexcept { return a.s_ == (b ? b : L""); }
  friend bool operator<(const CString& a, const CString& b) noexcept { return a.s_ < b.s_; }

  int Compare(const wchar_t* other) const noexcept { return s_.compare(other ? other : L""); }
  int CompareNoCase(const wchar_t* other) const noexcept {
    return ::_wcsicmp(s_.c_str(), other ? other : L"");
  }

  // -1 when not found; a start beyond the end finds nothing.
  int Find(const wchar_t* sub, int start = 0) const noexcept {
    if (!sub || start < 0 || start > GetLength()) return -1;
    return ToIndex(s_.find(sub, static_cast<size_t>(start)));
  }
  int Find(wchar_t ch, int start = 0) const noexcept {
    if (start < 0 || start > GetLength()) return -1;
    return ToIndex(s_.find(ch, static_cast<size_t>(start)));
  }
  int ReverseFind(wchar_t ch) const noexcept { return ToIndex(s_.rfind(ch)); }

  // Counts are clamped to the string, as callers of the classic CString expect.
  CString Left(int count) const { return CString(s_.substr(0, Clamp(count))); }
  CString Right(int count) const {
    const size_t n = Clamp(count);
    return CString(s_.substr(s_.size() - n));
  }
  CString Mid(int first) const { return first >= GetLength() ? CString() : CString(s_.substr(Clamp(first))); }
  CString Mid(int first, int count) const {
    const size_t f = Clamp(first);
    return CString(s_.substr(f, count < 0 ? 0 : static_cast<size_t>(count)));
  }

  // Returns the number of replacements; an empty pattern replaces nothing.
  int Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    const std::wstring_view f(from), t(to ? to : L"");
    int count = 0;
    for (size_t pos = s_.find(f); pos != std::wstring::npos; pos = s_.find(f, pos + t.size())) {
      s_.replace(pos, f.size(), t);
      ++count;
    }
    return count;
  }
  int Remove(wchar_t ch) {
    const auto before = s_.size();
    std::erase(s_, ch);
    return static_cast<int>(before - s_.size());
  }
  CString& MakeUpper() {
    for (auto& c : s_) c = static_cast<wchar_t>(std::towupper(c));
    return *this;
  }
  CString& MakeLower() {
    for (auto& c : s_) c = static_cast<wchar_t>(std::towlower(c));
    return *this;
  }
  CString& Trim() { return TrimRight().TrimLeft(); }
  CString& TrimLeft() {
    size_t i = 0;
    while (i < s_.size() && std::iswspace(s_[i])) ++i;
    s_.erase(0, i);
    return *this;
  }
  CString& TrimRight() {
    while (!s_.empty() && std::iswspace(s_.back())) s_.pop_back();
    return *this;
  }

  void Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
  }
  void AppendFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    CString more;
    more.FormatV(format, args);
    va_end(args);
    s_ += more.s_;
  }
  void FormatV(const wchar_t* format, va_list args) {
    s_.clear();
    if (!format) return;
    va_list probe;
    va_copy(probe, args);
    const int n = ::_vscwprintf(format, probe);
    va_end(probe);
    if (n <= 0) return;
    std::wstring out(static_cast<size_t>(n) + 1, L'\0');
    ::_vsnwprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    s_ = std::move(out);
  }

 private:
  bool InRange(int i) const noexcept { return i >= 0 && i < GetLength(); }
  size_t Clamp(int n) const noexcept { return n <= 0 ? 0 : std::min(static_cast<size_t>(n), s_.size()); }
  static int ToIndex(size_t pos) noexcept { return pos == std::wstring::npos ? -1 : static_cast<int>(pos); }

  std::wstring s_;
};

}  // namespace VELO
