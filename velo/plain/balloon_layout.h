// Where the balloon message window goes: its rectangle for a text of
// w x h pixels per line and n lines next to an anchor point, by placement
// mode, and the shift that keeps it on the work area.
#pragma once

#include "velo/plain/placement.h"

namespace VELO::render {

// Mode 1 right of the point, 2 left, 3 below, 4 above (centred), 5 right and
// kept on focus loss; any other mode gives an empty rectangle.
Edges BalloonRect(int mode, int x, int y, int textWidth, int lineHeight, int lines) noexcept;

// `box` moved (not resized) by the least amount that puts it inside `area`;
// a box larger than the area keeps its left or top edge on the area's.
Edges KeepInside(Edges box, const Edges& area) noexcept;

}  // namespace VELO::render
