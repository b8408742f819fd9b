// The window's two control lists: creation through the factory, lookup,
// removal and the deferred destruction of controls removed during a
// dispatch, and the repaint requests controls send up.
#include <algorithm>

#include "common/swallowed_failure.h"
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
  MControl* borrowed = control.get();
  CriticalSectionGuard guard(list == 0 ? m_areaLock : m_controlLock);
  (list == 0 ? m_areas : m_controls).push_back(std::move(control));
  return borrowed;
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

std::vector<ControlRef> PaintManager::Snapshot(bool areas) {
  std::vector<ControlRef> out;
  CriticalSectionGuard guard(areas ? m_areaLock : m_controlLock);
  const auto& list = areas ? m_areas : m_controls;
  out.reserve(list.size());
  for (const auto& c : list) out.emplace_back(c.get());
  return out;
}

std::vector<MControl*> PaintManager::GetControls() {
  std::vector<MControl*> out;
  for (const ControlRef& r : Snapshot(false)) out.push_back(r.Address());
  return out;
}

std::vector<MControl*> PaintManager::GetAreaControls() {
  std::vector<MControl*> out;
  for (const ControlRef& r : Snapshot(true)) out.push_back(r.Address());
  return out;
}

bool PaintManager::DeferDestroy(std::unique_ptr<MControl>& control) {
  if (m_nDispatchDepth == 0 || !control) return false;
  try {
    m_delayed.push_back(std::move(control));
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return false;
  }
  return true;
}

void PaintManager::FlushDelayed() noexcept {
  // A destructor may remove further controls: take the list each turn.
  while (!m_delayed.empty()) {
    auto batch = std::exchange(m_delayed, {});
    for (auto& c : batch) {
      c->Detach();
      c.reset();
    }
  }
}

void PaintManager::RemoveControl(MControl* control) {
  if (!control) return;
  std::unique_ptr<MControl> removed;
  {
    CriticalSectionGuard guard(m_controlLock);
    auto it = std::find_if(m_controls.begin(), m_controls.end(),
                           [control](const std::unique_ptr<MControl>& c) { return c.get() == control; });
    if (it == m_controls.end()) return;
    removed = std::move(*it);
    m_controls.erase(it);
  }
  if (m_focus.Address() == control) SetFocusControl(nullptr);
  removed->MarkDetached();
  if (!DeferDestroy(removed)) {
    removed->Detach();
    removed.reset();
  }
}

namespace {
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

void PaintManager::ClearControls() {
  std::vector<std::unique_ptr<MControl>> list;
  {
    CriticalSectionGuard guard(m_controlLock);
    list.swap(m_controls);
  }
  DestroyList(std::move(list), this);
}

void PaintManager::ClearAreaControls() {
  std::vector<std::unique_ptr<MControl>> list;
  {
    CriticalSectionGuard guard(m_areaLock);
    list.swap(m_areas);
  }
  DestroyList(std::move(list), this);
}

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
