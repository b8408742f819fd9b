#include "update/version_compare.h"

#include <climits>
#include <cstdio>

namespace ostrel::update {

namespace {

bool IsSpace(wchar_t c) noexcept { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// The text's next dot-separated part; `rest` moves past it and its dot, and
// is empty with `more` false after the last part.
std::wstring_view NextPart(std::wstring_view& rest, bool& more) noexcept {
  const std::size_t dot = rest.find(L'.');
  const std::wstring_view part = rest.substr(0, dot);
  more = dot != std::wstring_view::npos;
  rest = more ? rest.substr(dot + 1) : std::wstring_view();
  return part;
}

std::size_t PartCount(std::wstring_view text) noexcept {
  std::size_t dots = 0;
  for (wchar_t c : text) dots += c == L'.';
  return dots + 1;
}

}  // namespace

int LeadingNumber(std::wstring_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int CompareVersions(std::wstring_view current, std::wstring_view latest) noexcept {
  if (PartCount(current) != PartCount(latest)) return 2;
  bool more = true;
  while (more) {
    bool latest_more = false;
    const int a = LeadingNumber(NextPart(current, more));
    const int b = LeadingNumber(NextPart(latest, latest_more));
    if (a != b) return b > a ? 1 : -1;
  }
  return 0;
}

int DeviceFirmwareNumber(std::uint16_t version) noexcept {
  wchar_t hex[8] = {};
  std::swprintf(hex, sizeof hex / sizeof hex[0], L"%x", static_cast<unsigned>(version));
  return LeadingNumber(hex);
}

bool FirmwareIsNewer(std::wstring_view server_text, std::optional<std::uint16_t> device_version) noexcept {
  return device_version && LeadingNumber(server_text) > DeviceFirmwareNumber(*device_version);
}

}  // namespace ostrel::update
