// The library's own module handle, for the resources it carries itself.
#pragma once

#include <windows.h>

#include "velo/core/velo_api.h"

namespace VELO {
VELO_API HINSTANCE GetLibraryModule() noexcept;
}
