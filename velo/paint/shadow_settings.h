// The parameters of a window's drop shadow, set through the window's
// PaintManager. The shadow window itself (MShadow) reads them when the
// dialog creates it; until then they are only stored.
#pragma once

#include <windows.h>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"

namespace VELO {

struct ShadowSettings {
  int created = 0;      // CreateShadow was called
  int show = 0;         // first argument of CreateShadow, then SetShadowShow
  bool flag = false;    // second argument of CreateShadow
  int disabled = 0;     // DisableShadow
  int size = 0;         // SetSize: may be negative (a shadow smaller than the window)
  UINT sharpness = 5;   // SetSharpness
  UINT darkness = 200;  // SetDarkness
  int x = 0;            // SetPosition
  int y = 0;
  COLORREF color = 0;  // SetShadowColor
  CString imageName;   // SetShadowImage(name, ...)
  UINT imageId = 0;    // SetShadowImage(id, ...)
  CRect imageCorners;  // the nine-part margins of the shadow image
  // Bumped on every change, so a shadow window knows to rebuild its image.
  unsigned revision = 0;
};

}  // namespace VELO
