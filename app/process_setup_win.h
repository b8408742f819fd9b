// Process-wide settings made once at start-up, before any window exists.
#pragma once

namespace ostrel::app {

// Declares the process DPI-aware when the primary screen calls for it
// (screen_rule.h); returns whether it did.
bool ApplyDpiRule() noexcept;
bool ApplyDpiRule(int screen_width, int screen_height) noexcept;

// Enables SeDebugPrivilege, which ending another user's or an elevated
// monitor process needs. True when the adjustment reported no error; false
// when the token cannot be opened or the privilege is not held.
bool EnableDebugPrivilege() noexcept;

}  // namespace ostrel::app
