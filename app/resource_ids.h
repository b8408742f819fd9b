// Resource ids of Ostrel.exe, shared by the resource script and the code.
#pragma once

// The program's icon: the panel's window icon, and the file's icon in the
// shell (the lowest icon id is the one Explorer shows).
#define IDI_OSTREL 107
