// The owner of a window this code created and destroys itself.
#pragma once

#include <windows.h>

#include "common/win/unique_any.h"

namespace ostrel::win {

using unique_window = unique_any<traits::null_invalid<HWND, ::DestroyWindow>>;

}  // namespace ostrel::win
