// Paths of the build a Windows test runs in: <build>/tests holds the test,
// <build>/bin what a user gets, <build>/sim the stand-ins.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace sensors_test {

inline std::filesystem::path BuildDir() {
  std::wstring path(MAX_PATH * 4, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return std::filesystem::path(path).parent_path().parent_path();
}

inline std::string SimLibrary(const char* file) { return (BuildDir() / "sim" / "sensors" / file).string(); }

}  // namespace sensors_test
