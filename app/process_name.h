// Which running executable is "the other monitor process". Plain code, no
// Win32 types, so the rule is tested natively too.
#pragma once

#include <string_view>

namespace ostrel::app {

// The sensor server of another monitoring tool: it holds the sensor driver
// the program needs, so it is ended at start-up and again at shutdown.
inline constexpr wchar_t kOtherMonitorProcess[] = L"OpenHardwareMonitorServer.exe";

// Executable names compared as the system's process list gives them, with
// A-Z folded to a-z only, as a lower-casing in the C locale does: no other
// character folds, so no look-alike name from another script matches.
bool SameExecutableName(std::wstring_view running, std::wstring_view target) noexcept;

}  // namespace ostrel::app
