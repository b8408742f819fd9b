// AlphaBlend and GradientFill as the library calls them: taken from the
// system's msimg32.dll once per process, with a software AlphaBlend where the
// system has none. The gradient takes the table as an argument, so that its
// fallback paths can be exercised on systems that have both functions.
#pragma once

#include <windows.h>

#include "velo/core/velo_api.h"

namespace VELO {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct BlendFunctions {
  AlphaBlendFn alphaBlend = nullptr;      // never null in the system table
  GradientFillFn gradientFill = nullptr;  // null: the gradient is drawn in bands
};

VELO_API const BlendFunctions& SystemBlendFunctions() noexcept;

// AlphaBlend in software, with AlphaBlend's arguments and results: the source
// stretched to the destination size, scaled by the constant alpha, treated as
// premultiplied when AC_SRC_ALPHA is set. FALSE when a size is not positive
// or a DC or DIB cannot be made.
VELO_API BOOL WINAPI SoftAlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                                    int sh, BLENDFUNCTION blend) noexcept;

// MRender::DrawGradient with the given functions.
VELO_API void DrawGradientWith(const BlendFunctions& functions, HDC dc, const RECT& rect, DWORD from,
                               DWORD to, bool vertical, int steps) noexcept;

}  // namespace VELO
