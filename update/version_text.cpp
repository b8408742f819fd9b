#include "update/version_text.h"

namespace ostrel::update {

namespace {

std::wstring_view WithoutLineBreak(std::wstring_view text) noexcept {
  if (text.ends_with(L"\r\n")) return text.substr(0, text.size() - 2);
  if (text.ends_with(L'\n')) return text.substr(0, text.size() - 1);
  return text;
}

bool IsDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

// Digits, or for software dot-separated groups of digits ("1.0.1.2"); empty
// groups ("1..2", ".1", "1.") are no version of the program's form.
bool HasVersionForm(Channel channel, std::wstring_view text) noexcept {
  if (text.empty()) return false;
  bool group_has_digit = false;
  for (wchar_t c : text) {
    if (IsDigit(c)) {
      group_has_digit = true;
    } else if (c == L'.' && channel == Channel::Software && group_has_digit) {
      group_has_digit = false;
    } else {
      return false;
    }
  }
  return group_has_digit;
}

}  // namespace

std::optional<std::wstring> AcceptVersionText(Channel channel, std::wstring_view text) {
  if (text.empty() || text.size() > kMaxVersionTextLength) return std::nullopt;
  const std::wstring_view version = WithoutLineBreak(text);
  if (!HasVersionForm(channel, version)) return std::nullopt;
  return std::wstring(version);
}

}  // namespace ostrel::update
