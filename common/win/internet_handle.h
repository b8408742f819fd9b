// The owner of a WinINet handle (session, connection or request); the target
// links wininet.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "common/win/unique_any.h"

namespace ostrel::win {

using unique_hinternet = unique_any<traits::null_invalid<HINTERNET, ::InternetCloseHandle>>;

}  // namespace ostrel::win
