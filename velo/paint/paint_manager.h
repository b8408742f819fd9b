// PaintManager: the per-window engine that draws a window's controls and
// feeds them input. This part holds what controls ask of their window: the
// window binding, the keyboard focus, the tooltip and its owner, and the
// high-resolution control timer that ticks controls registered with
// AddMTimer on the multimedia timer thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "velo/core/critical_section.h"
#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/rktimer.h"
#include "velo/core/velo_api.h"

namespace VELO {

class MControl;
class MWindow;

class VELO_API PaintManager : public RKTimer {
 public:
  PaintManager() noexcept;
  virtual ~PaintManager();
  PaintManager(const PaintManager&) = delete;
  PaintManager& operator=(const PaintManager&) = delete;

  // Binds the manager to its window; ignored for a null or dead handle.
  void Init(HWND window, MWindow* dialog) noexcept;
  HWND GetPaintWnd() const noexcept { return m_hWnd; }
  MWindow* GetMDialog() const noexcept { return m_pDialog; }
  int IsInitialized() const noexcept { return m_bInitialized; }

  void SetLayeredWindow(BOOL layered) noexcept { m_bLayered = layered ? 1 : 0; }
  int IsLayered() const noexcept { return m_bLayered; }
  // The whole window without erasing.
  void Invalidate() noexcept;
  // The whole window with erase when layered, else `rc` with `erase`.
  void InvalidateRect(CRect rc, BOOL erase) noexcept;

  MControl* GetFocusControl() const noexcept { return m_pFocusControl; }
  // The old focus control gets SetControlFocus(0), the new one (if any)
  // SetControlFocus(1); nothing when it already has the focus.
  void SetFocusControl(MControl* control);

  // A null or empty text empties and deactivates the tooltip.
  void SetTooltip(const wchar_t* text, CRect rc);
  void ClearTooltip();
  void SetTooltipCtrlID(int id) noexcept { m_nTooltipCtrlID = id; }
  int GetTooltipCtrlID() const noexcept { return m_nTooltipCtrlID; }
  CString GetTooltipText() const { return m_strTooltip; }
  CRect GetTooltipRect() const noexcept { return m_rcTooltip; }
  int IsTooltipActive() const noexcept { return m_bTooltipActive; }

  // The control timer: only the timer started last ticks the controls.
  UINT SetMTimer(UINT elapse) noexcept;
  void KillMTimer(UINT id) noexcept;
  void KillMTimer() noexcept;
  // Duplicates are not filtered; DeleteFSTimer removes the first entry.
  int AddMTimer(MControl* control) noexcept;
  BOOL DeleteFSTimer(MControl* control) noexcept;

  // Called by a control's destructor: no focus or timer tick refers to it
  // afterwards. (The tooltip owner is kept by id, not by pointer.)
  void ForgetControl(MControl* control) noexcept;

  using RKTimer::OnMTimer;
  void OnMTimer(UINT id) override;

 private:
  int m_bInitialized = 0;
  HWND m_hWnd = nullptr;
  MWindow* m_pDialog = nullptr;
  int m_bLayered = 0;
  MControl* m_pFocusControl = nullptr;
  int m_nTooltipCtrlID = 0;
  CString m_strTooltip;
  CRect m_rcTooltip;
  int m_bTooltipActive = 0;
  std::atomic<UINT> m_uMTimerID{0};
  std::vector<MControl*> m_timerControls;
  CriticalSection m_timerControlLock;
};

}  // namespace VELO
