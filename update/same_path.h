// Whether two Windows paths name the same file as text: separators of
// either kind and their repeats ("...\\temp\\x") count as one, letter case
// is ignored for ASCII letters.
#pragma once

#include <string>
#include <string_view>

namespace ostrel::update {

std::wstring PathKey(std::wstring_view path);
bool SamePath(std::wstring_view a, std::wstring_view b);

}  // namespace ostrel::update
