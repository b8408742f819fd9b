// Drag and drop of controls. A press on a control that allows it makes a
// drag pending; the first move with the button still down starts it. The
// drag keeps the cursor inside the window, so drops land on this window's
// own controls: each drop goes to the control under it, whose owner decides.
#include "velo/core/mcontrol.h"
#include "velo/paint/drag_source.h"
#include "velo/paint/paint_manager.h"

namespace VELO {

void PaintManager::StartDrag() {
  m_bDragPending = 0;
  if (!Live() || !m_hDragBitmap) return;
  RECT bounds{};
  ::GetWindowRect(m_hWnd, &bounds);
  ::ClipCursor(&bounds);
  ReleaseCapture();
  m_bCaptured = 0;
  DragBitmap(m_hDragBitmap.get());
  ::ClipCursor(nullptr);
  m_bLeftPressed = 0;
  // The drag took the button's release: the pressed control hears of it as
  // a release away from everything, so it leaves its pressed look without
  // counting a click. Mouse tracking ended with the drag's capture.
  m_bTracking = 0;
  if (MControl* pressed = m_hover.Get()) pressed->OnLButtonUp(0, CPoint(-1, -1));
  m_hover = nullptr;
}

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
  DispatchScope scope(this);
  MControl* target = ControlAt(CPoint(pt.x, pt.y));
  return target &&
         target->SendMessageW(kDropNotification, format->cfFormat, reinterpret_cast<LPARAM>(&medium)) != 0;
}

}  // namespace VELO
