#include "app/process_name.h"

namespace ostrel::app {
namespace {

constexpr wchar_t FoldAscii(wchar_t c) noexcept {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool SameExecutableName(std::wstring_view running, std::wstring_view target) noexcept {
  if (running.size() != target.size() || target.empty()) return false;
  for (std::size_t i = 0; i < target.size(); ++i) {
    if (FoldAscii(running[i]) != FoldAscii(target[i])) return false;
  }
  return true;
}

}  // namespace ostrel::app
