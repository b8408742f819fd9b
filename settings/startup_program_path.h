// The program the logon task starts: always "Ostrel.exe" in the folder of the
// running executable, whatever name this copy runs under.
#pragma once

#include <string>
#include <string_view>

namespace ostrel::settings {

inline constexpr wchar_t kStartupProgramName[] = L"Ostrel.exe";

// `module_path` is the running executable's full path, of any length. The
// folder keeps its trailing backslash; a path without one gives the bare
// program name.
std::wstring StartupProgramPath(std::wstring_view module_path);

}  // namespace ostrel::settings
