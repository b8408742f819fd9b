// What the simulator needs of the system it runs on: where its files are,
// opening them, and wide text (UTF-16 on Windows, UTF-32 on Linux). Paths
// are UTF-8 throughout.
#pragma once

#include <cstdio>
#include <string>

namespace hidsim {

// The variable's value, or the file of that name beside this library.
std::string SimFilePath(const char* variable, const char* fallback);
std::FILE* OpenSimFile(const std::string& path, const char* mode);
std::wstring WideText(const std::string& utf8);
std::string Utf8Text(const std::wstring& wide);

}  // namespace hidsim
