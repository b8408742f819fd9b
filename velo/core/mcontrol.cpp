#include "velo/core/mcontrol.h"

#include <algorithm>

#include "velo/core/cursor_names.h"

namespace VELO {

namespace {

// Children leave their list under its lock and are destroyed after it is
// released: detaching waits for a timer tick on them, and a tick of this
// control holds its own life lock while it waits for this list's lock.
std::vector<std::unique_ptr<MControl>> TakeAll(std::vector<std::unique_ptr<MControl>>& list,
                                               CriticalSection& lock) {
  CriticalSectionGuard guard(lock);
  return std::exchange(list, {});
}

}  // namespace

// The copy that a walk which calls out works on; each entry keeps its control
// alive while it is called.
std::vector<ControlRef> MControl::RefsOf(const std::vector<std::unique_ptr<MControl>>& list,
                                         CriticalSection& lock) {
  CriticalSectionGuard guard(lock);
  std::vector<ControlRef> refs;
  refs.reserve(list.size());
  for (const auto& c : list) refs.emplace_back(c.get());
  return refs;
}

namespace {

void DestroyAll(std::vector<std::unique_ptr<MControl>> list) noexcept {
  for (auto& c : list) c->Detach();
  list.clear();
}

}  // namespace

MControl::MControl(MObject* owner, UINT id, CRect rc, BOOL visible, BOOL enabled, BOOL responds)
    : m_pOwner(owner),
      m_uControlID(id),
      m_rcControl(rc),
      m_bVisible(visible ? 1 : 0),
      m_bEnabled(enabled ? 1 : 0),
      m_bResponse(responds ? 1 : 0) {}

ControlRef::ControlRef(MControl* control) noexcept
    : control_(control), life_(control ? control->GetLife() : nullptr) {}

MControl::~MControl() {
  m_life->Kill();
  m_pActiveChild = nullptr;
  DestroyAll(TakeAll(m_subControls, m_subLock));
  DestroyAll(TakeAll(m_areaControls, m_areaLock));
}

void MControl::Detach() noexcept {
  m_life->Kill();
  for (MControl* c : GetControls()) c->Detach();
  for (MControl* c : GetAreaControls()) c->Detach();
}

void MControl::MarkDetached() noexcept {
  m_life->MarkGone();
  for (MControl* c : GetControls()) c->MarkDetached();
  for (MControl* c : GetAreaControls()) c->MarkDetached();
}

const wchar_t* MControl::GetClassNameW() const { return L"MControl"; }

void MControl::InitControl(PaintManager*) {}

int MControl::PtInRect(CPoint pt) { return m_bVisible && m_rcControl.PtInRect(pt) ? 1 : 0; }

int MControl::DrawSubControls(HDC& dc, CRect paintRect) {
  CriticalSectionGuard guard(m_subLock);
  for (size_t i = 0; i < m_subControls.size(); ++i) {
    MControl* child = m_subControls[i].get();
    if (child->m_bVisible) child->Draw(dc, paintRect);
  }
  return 1;
}

int MControl::IsDraw(CPoint) { return 0; }

void MControl::SetUpdate(int update, DWORD arg) {
  m_bUpdate = update;
  CriticalSectionGuard guard(m_subLock);
  for (size_t i = 0; i < m_subControls.size(); ++i) {
    MControl* child = m_subControls[i].get();
    if (child->m_rcControl.Intersects(m_rcControl)) child->SetUpdate(update, arg);
  }
}

// The flag is kept here so that IsFocused and key routing, which descends
// along focused sub-controls, see the focus that the window gave.
int MControl::SetControlFocus(int focus) {
  m_bFocused = focus ? 1 : 0;
  if (!focus) {
    CriticalSectionGuard guard(m_subLock);
    for (size_t i = 0; i < m_subControls.size(); ++i) m_subControls[i]->SetControlFocus(0);
  }
  return 0;
}

void MControl::InitUI(CRect) {}
int MControl::OnMousePointChange(CPoint&) { return 0; }
int MControl::OnCheckMouseResponse(UINT, CPoint) { return 1; }
LRESULT MControl::OnWindowMessage(UINT, WPARAM, LPARAM) { return 0; }
LRESULT MControl::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }
void MControl::SetControlRect(CRect rc) { m_rcControl = rc; }
void MControl::SetControlVisible(int visible) { m_bVisible = visible ? 1 : 0; }
void MControl::SetControlWndVisible(int) {}
void MControl::SetControlEnabled(int enabled) { m_bEnabled = enabled ? 1 : 0; }
int MControl::OnControlTimer() { return 0; }
HBITMAP MControl::GetControlDropBitmap() { return nullptr; }
int MControl::OnControlMouseMove(UINT, CPoint) { return 0; }

int MControl::OnControlSetCursor(UINT, CPoint pt) {
  if (!m_hCursor || !m_rcControl.PtInRect(pt)) return 0;
  ::SetCursor(m_hCursor);
  return 1;
}

int MControl::OnControlLButtonDown(UINT, CPoint) { return 0; }
int MControl::OnControlLButtonUp(UINT, CPoint) { return 0; }
int MControl::OnControlLButtonDblClk(UINT, CPoint) { return 0; }
int MControl::OnControlScroll(int, UINT, CPoint) { return 0; }
int MControl::OnControlRButtonDown(UINT, CPoint) { return 0; }
int MControl::OnControlRButtonUp(UINT, CPoint) { return 0; }
int MControl::OnControlRButtonDblClk(UINT, CPoint) { return 0; }

int MControl::OnControlKeyDown(UINT vk, UINT, UINT flags) {
  return m_uHotKey != 0 && vk == m_uHotKey && flags == m_uHotKeyFlags ? 1 : 0;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT*, BOOL erase) {
  if (m_pManager) m_pManager->InvalidateRect(m_rcControl, erase);
}

void MControl::Draw(HDC& dc, CRect paintRect) {
  if (!m_bVisible || !m_rcControl.Intersects(paintRect)) return;
  {
    CriticalSectionGuard guard(m_areaLock);
    for (size_t i = 0; i < m_areaControls.size(); ++i) {
      MControl* area = m_areaControls[i].get();
      if (area->m_rcControl.Intersects(m_rcControl)) area->Draw(dc, paintRect);
    }
  }
  DrawControl(dc, paintRect);
  DrawSubControls(dc, paintRect);
}

void MControl::SetRect(CRect rc) {
  const CRect both = m_rcControl | rc;
  SetControlRect(rc);
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(both, 1, this);
}

void MControl::SetRect(int x, int y, int width, int height) { SetRect(CRect(x, y, x + width, y + height)); }

void MControl::SetVisible(int visible) { SetVisible(visible, 1); }

void MControl::SetVisible(int visible, int notify) {
  visible = visible ? 1 : 0;
  if (visible == m_bVisible) return;
  SetControlVisible(visible);
  // Also when hiding: the area the control covered must be repainted.
  if (notify && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
}

void MControl::SetEnabled(int enabled) {
  enabled = enabled ? 1 : 0;
  if (enabled == m_bEnabled) return;
  SetControlEnabled(enabled);
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
}

int MControl::IsParentVisible() {
  if (!m_pOwner) return 0;
  const wchar_t* ownerClass = m_pOwner->GetClassNameW();
  if (ownerClass && std::wcscmp(ownerClass, L"MDialog") == 0) return 1;
  auto* parent = dynamic_cast<MControl*>(m_pOwner);
  // An owner that is a window of another kind (not a control) counts like a
  // dialog: it has no visible flag of the control kind to read.
  if (!parent) return 1;
  return parent->m_bVisible && parent->IsParentVisible() ? 1 : 0;
}

void MControl::UpdateControl(int resetCache, int force) {
  if ((m_bVisible || force) && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, resetCache, this);
}

void MControl::UpdateControl(CRect rc, int force, int resetCache) {
  if ((m_bVisible || force) && m_pOwner) m_pOwner->OnControlUpdate(rc, resetCache, this);
}

void MControl::UpdateAControl(int keepAnimation, int force) {
  if (!m_bVisible && !force) return;
  m_bAnimating = keepAnimation ? 0 : 1;
  if (m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 0, this);
}

LRESULT MControl::SendMessageW(UINT code, WPARAM wParam, LPARAM lParam) {
  return m_pOwner ? m_pOwner->OnBaseMessage(m_uControlID, code, wParam, lParam) : 0;
}

int MControl::SetCursorEx(const wchar_t* name) {
  if (const int id = SystemCursorIdForName(name)) m_hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
  return 0;
}

void MControl::SetTooltip(CString text, CRect area) {
  if (!m_pManager) return;
  m_pManager->SetTooltip(text, area);
  m_pManager->SetTooltipCtrlID(static_cast<int>(m_uControlID));
}

void MControl::SetTooltip(const wchar_t* text) { m_strTooltip = text; }

void MControl::ClearTooltip() {
  if (m_pManager) m_pManager->ClearTooltip();
}

MControl* MControl::AdoptChild(std::vector<std::unique_ptr<MControl>>& list, CriticalSection& lock,
                               std::unique_ptr<MControl> child) {
  if (!child) return nullptr;
  if (!child->m_pManager) child->m_pManager = m_pManager;
  MControl* borrowed = child.get();
  CriticalSectionGuard guard(lock);
  list.push_back(std::move(child));
  return borrowed;
}

MControl* MControl::AddControl(std::unique_ptr<MControl> child) {
  return AdoptChild(m_subControls, m_subLock, std::move(child));
}

MControl* MControl::AddArea(std::unique_ptr<MControl> child) {
  return AdoptChild(m_areaControls, m_areaLock, std::move(child));
}

// Searched on copies of the lists: a child's search takes the child's own
// list lock, and holding this list's lock across it would order the two
// locks against a thread that holds the child's and waits for this one.
MControl* MControl::GetControl(UINT id) {
  MControl* found = nullptr;
  const auto search = [&found, id](const std::vector<ControlRef>& refs) {
    for (const ControlRef& ref : refs) {
      ref.Call([&found, id](MControl* c) { found = c->m_uControlID == id ? c : c->GetControl(id); });
      if (found) return true;
    }
    return false;
  };
  if (!search(RefsOf(m_subControls, m_subLock))) search(RefsOf(m_areaControls, m_areaLock));
  return found;
}

std::vector<MControl*> MControl::GetControls() {
  std::vector<MControl*> out;
  CriticalSectionGuard guard(m_subLock);
  out.reserve(m_subControls.size());
  for (const auto& child : m_subControls) out.push_back(child.get());
  return out;
}

std::vector<MControl*> MControl::GetAreaControls() {
  std::vector<MControl*> out;
  CriticalSectionGuard guard(m_areaLock);
  out.reserve(m_areaControls.size());
  for (const auto& area : m_areaControls) out.push_back(area.get());
  return out;
}

int MControl::RemoveControl(MControl* child) {
  if (!child) return 0;
  if (m_pManager && m_pManager->GetFocusControl() == child) m_pManager->SetFocusControl(nullptr);
  std::unique_ptr<MControl> removed;
  {
    CriticalSectionGuard guard(m_subLock);
    auto it = std::find_if(m_subControls.begin(), m_subControls.end(),
                           [child](const std::unique_ptr<MControl>& c) { return c.get() == child; });
    if (it == m_subControls.end()) return 0;
    removed = std::move(*it);
    m_subControls.erase(it);
    if (m_pActiveChild.Address() == child) m_pActiveChild = nullptr;
  }
  // Outside the list lock; during a dispatch the window destroys it later,
  // once nothing on the stack can still be inside it. Waiting for a tick
  // on it must not happen here either: the caller may hold a child lock
  // that the tick needs.
  removed->MarkDetached();
  if (!m_pManager || !m_pManager->DeferDestroy(removed)) {
    removed->Detach();
    removed.reset();
  }
  return 0;
}

void MControl::RemoveAllControl() {
  m_pActiveChild = nullptr;
  std::vector<std::unique_ptr<MControl>> all = TakeAll(m_subControls, m_subLock);
  for (auto& c : TakeAll(m_areaControls, m_areaLock)) all.push_back(std::move(c));
  for (auto& c : all) {
    c->MarkDetached();
    if (!m_pManager || !m_pManager->DeferDestroy(c)) {
      c->Detach();
      c.reset();
    }
  }
}

int MControl::OnFocus(int focus) { return SetControlFocus(focus); }

int MControl::IsFocusControl() { return m_pManager && m_pManager->GetFocusControl() == this ? 1 : 0; }

int MControl::AddMTimer() { return m_pManager ? m_pManager->AddMTimer(this) : 0; }

BOOL MControl::UpdateMemDC(HDC& dc, int cx, int cy) {
  m_bUpdate = 1;
  if (m_memBuffer.GetDC() && m_memBuffer.HasSize(cx, cy)) return TRUE;
  return m_memBuffer.Create(dc, cx, cy) ? TRUE : FALSE;
}

BOOL MControl::UpdateAnimateDC(HDC& dc, int cx, int cy) {
  m_bAnimating = 1;
  return m_animateBuffer.Create(dc, cx, cy) ? TRUE : FALSE;
}

HBITMAP MControl::GetDropBitmap() { return GetControlDropBitmap(); }

}  // namespace VELO
