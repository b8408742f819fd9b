// Dragging a control out of its window with OLE: a data object that offers
// the control's drop bitmap (as a GDI bitmap and as an enhanced metafile),
// and a drop source that follows the left button while the bitmap's picture
// follows the cursor.
#pragma once

#include <windows.h>

namespace VELO {

// Runs DoDragDrop with copy and move allowed; returns the effect, or
// DROPEFFECT_NONE when nothing could be started. `bitmap` stays the
// caller's.
DWORD DragBitmap(HBITMAP bitmap) noexcept;

}  // namespace VELO
