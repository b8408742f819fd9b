// The window's two control lists: creation through the factory, lookup,
// removal and the deferred destruction of controls removed during a
// dispatch, and the repaint requests controls send up.
#include "velo/controls/control_factory.h"
#include "velo/core/mcontrol.h"
#include "velo/paint/paint_manager.h"

namespace VELO {

MControl* PaintManager::CreateControl(MObject* owner, const wchar_t* className, UINT id, CRect rc,
                                      const wchar_t* text, BOOL visible, BOOL enabled) {
  return CreateControl(1, owner, className, id, rc, text, visible, enabled);
}

MControl* PaintManager::CreateArea(MObject* owner, const wchar_t* className, UINT id, CRect rc,
                                   const wchar_t* text, BOOL visible, BOOL enabled) {
  return CreateControl(0, owner, className, id, rc, text, visible, enabled);
}

MControl* PaintManager::CreateControl(UINT list, MObject* owner, const wchar_t* className, UINT id, CRect rc,
                                      const wchar_t* text, BOOL visible, BOOL enabled) {
  std::unique_ptr<MControl> control = MakeControl(className, owner, id, rc, text, visible, enabled);
  if (!control) return nullptr;
  control->SetManager(this);
  control->InitControl(this);
  if (list > 1) return control.release();
  return AddControl(std::move(control), list);
}

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control, UINT list) {
  if (!control || list > 1) return nullptr;
  if (!control->GetHost()) control->SetManager(this);
  return m_lists.Add(std::move(control), list == 0);
}

MControl* PaintManager::GetControl(UINT id) {
  for (const bool areas : {false, true}) {
    for (const ControlRef& ref : Snapshot(areas)) {
      MControl* c = ref.Get();
      if (!c) continue;
      if (c->GetControlID() == id) return c;
      if (MControl* found = c->GetControl(id)) return found;
    }
  }
  return nullptr;
}

namespace {
std::vector<MControl*> Addresses(const std::vector<ControlRef>& refs) {
  std::vector<MControl*> out;
  out.reserve(refs.size());
  for (const ControlRef& r : refs) out.push_back(r.Address());
  return out;
}

void DestroyList(std::vector<std::unique_ptr<MControl>> list, ControlHost* host) {
  for (auto& c : list) {
    c->MarkDetached();
    if (!host->DeferDestroy(c)) {
      c->Detach();
      c.reset();
    }
  }
}
}  // namespace

std::vector<MControl*> PaintManager::GetControls() { return Addresses(Snapshot(false)); }
std::vector<MControl*> PaintManager::GetAreaControls() { return Addresses(Snapshot(true)); }

bool PaintManager::DeferDestroy(std::unique_ptr<MControl>& control) { return m_lists.DeferDestroy(control); }

void PaintManager::RemoveControl(MControl* control) {
  if (!control) return;
  std::unique_ptr<MControl> removed = m_lists.Take(control);
  if (!removed) return;
  m_input.Forget(control);
  removed->MarkDetached();
  if (!DeferDestroy(removed)) {
    removed->Detach();
    removed.reset();
  }
}

void PaintManager::ClearControls() { DestroyList(m_lists.TakeAll(false), this); }
void PaintManager::ClearAreaControls() { DestroyList(m_lists.TakeAll(true), this); }

void PaintManager::ClearAllControls() {
  ClearAreaControls();
  ClearControls();
}

LRESULT PaintManager::OnControlUpdate(CRect rc, int resetCache, MControl* control) {
  if (!control) return 0;
  if (resetCache) control->SetUpdate(0, m_crFill);
  CRect area = rc;
  if (m_bInitialized) {
    bool passed = false;
    for (const bool areas : {true, false}) {
      for (const ControlRef& ref : Snapshot(areas)) {
        MControl* c = ref.Get();
        if (!c) continue;
        if (c == control) {
          passed = true;
          continue;
        }
        if (passed && c->IsVisible() && c->GetRect().Intersects(rc)) {
          c->SetUpdate(0, m_crFill);
          area = area | c->GetRect();
        }
      }
    }
  }
  if (Live()) {
    if (m_bLayered) {
      ::InvalidateRect(m_hWnd, nullptr, TRUE);
    } else {
      ::InvalidateRect(m_hWnd, &area, FALSE);
    }
  }
  return 0;
}

}  // namespace VELO
