// ControlHost: the few services a control asks of the window it lives in
// (keyboard focus, tooltip, high-resolution ticks, invalidation, deferred
// destruction). PaintManager implements it; the control base sees only this
// interface, so the core does not depend on the paint engine.
#pragma once

#include <windows.h>

#include <memory>

#include "velo/core/geometry.h"
#include "velo/core/velo_api.h"

namespace VELO {

class MControl;
class PaintManager;

class VELO_API ControlHost {
 public:
  virtual PaintManager* GetPaintManager() noexcept = 0;
  virtual MControl* GetFocusControl() = 0;
  virtual void SetFocusControl(MControl* control) = 0;
  virtual void SetTooltip(const wchar_t* text, CRect rc) = 0;
  virtual void ClearTooltip() = 0;
  virtual void SetTooltipCtrlID(int id) = 0;
  virtual int GetTooltipCtrlID() = 0;
  virtual int AddMTimer(MControl* control) = 0;
  virtual BOOL DeleteFSTimer(MControl* control) = 0;
  virtual void InvalidateRect(CRect rc, BOOL erase) = 0;
  // A control removed while the window is dispatching input may still be on
  // the call stack: the host keeps it and destroys it once the dispatch has
  // unwound. Returns false when nothing is being dispatched (destroy now).
  virtual bool DeferDestroy(std::unique_ptr<MControl>& control) = 0;

 protected:
  ControlHost() = default;
  ControlHost(const ControlHost&) = default;
  ControlHost& operator=(const ControlHost&) = default;
  ~ControlHost() = default;
};

}  // namespace VELO
