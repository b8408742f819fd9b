// Ends another program's process by its executable name.
#pragma once

namespace ostrel::app {

// Ends the first process, in the system's process-list order, whose
// executable name matches in any letter case; others of the same name stay.
// True whenever the process list could be read, whether or not one matched
// or could be ended.
bool KillProcessByName(const wchar_t* name) noexcept;

}  // namespace ostrel::app
