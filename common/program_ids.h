// Names the program's parts share across the tree: the shell (app/), the
// panel (ui/) and the resource script all take them from here, so that no
// lower layer reaches up into app/. Macros only up to RC_INVOKED: the
// resource compiler reads this file too.
#pragma once

// The program's icon: the panel's window icon, and the file's icon in the
// shell (the lowest icon id is the one Explorer shows).
#define IDI_OSTREL 107

#ifndef RC_INVOKED
namespace ostrel {

// One Ostrel per user session: the name of the single-instance mutex and of
// the window property that marks the panel.
inline constexpr wchar_t kInstanceName[] = L"TEMP";

}  // namespace ostrel
#endif
