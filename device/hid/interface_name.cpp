#include "device/hid/interface_name.h"

#include <algorithm>

#include "device/hid/display_ids.h"

namespace ostrel::device {
namespace {

wchar_t AsciiUpper(wchar_t c) noexcept {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

bool IsDisplayInterfaceName(std::wstring_view name) noexcept {
  const auto hit =
      std::search(name.begin(), name.end(), kDisplayInterfaceTag.begin(), kDisplayInterfaceTag.end(),
                  [](wchar_t a, wchar_t b) { return AsciiUpper(a) == b; });
  return hit != name.end();
}

}  // namespace ostrel::device
