// Drops of dragged controls (InputRouter starts the drag). The drag keeps
// the cursor inside the window, so drops land on this window's own
// controls: each drop goes to the control under it, whose owner decides.
#include "velo/core/mcontrol.h"
#include "velo/paint/paint_manager.h"

namespace VELO {

MControl* PaintManager::ControlAt(CPoint pt) {
  MControl* found = nullptr;
  for (const ControlRef& ref : Snapshot(false)) {
    MControl* c = ref.Get();
    if (c && c->IsVisible() && c->GetRresponse() && c->PtInRect(pt)) found = c;
  }
  return found;
}

bool PaintManager::OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*) {
  if (!format || !Live()) return false;
  POINT pt = GetDropPoint();
  ::ScreenToClient(m_hWnd, &pt);
  const ControlLists::DispatchScope scope(m_lists);
  MControl* target = ControlAt(CPoint(pt.x, pt.y));
  return target &&
         target->SendMessageW(kDropNotification, format->cfFormat, reinterpret_cast<LPARAM>(&medium)) != 0;
}

}  // namespace VELO
