#include "settings/setting_text.h"

#include <climits>
#include <cstdint>

namespace ostrel::settings {

namespace {

bool IsBlank(wchar_t c) noexcept { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

}  // namespace

int ParseSettingText(const wchar_t* text, std::size_t capacity) noexcept {
  if (!text) return 0;
  std::size_t i = 0;
  while (i < capacity && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < capacity && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  // Accumulated as a magnitude with a cap just past INT_MAX + 1, so the
  // saturation is decided without ever overflowing.
  constexpr std::int64_t kCap = static_cast<std::int64_t>(INT_MAX) + 2;
  std::int64_t magnitude = 0;
  for (; i < capacity && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - L'0');
    if (magnitude > kCap) magnitude = kCap;
  }
  if (negative)
    return magnitude > static_cast<std::int64_t>(INT_MAX) ? INT_MIN : static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

}  // namespace ostrel::settings
