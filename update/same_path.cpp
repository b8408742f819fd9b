#include "update/same_path.h"

namespace ostrel::update {

std::wstring PathKey(std::wstring_view path) {
  std::wstring key;
  key.reserve(path.size());
  for (wchar_t c : path) {
    if (c == L'/') c = L'\\';
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    // A leading "\\" (UNC, "\\?\") is kept as it is.
    if (c == L'\\' && key.size() > 1 && key.back() == L'\\') continue;
    key += c;
  }
  return key;
}

bool SamePath(std::wstring_view a, std::wstring_view b) { return PathKey(a) == PathKey(b); }

}  // namespace ostrel::update
