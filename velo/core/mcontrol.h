// MControl: a windowless control, a rectangle in the client area of one
// window, drawn by that window's PaintManager and fed with input by it.
// A control owns its children: area children are drawn beneath its own
// drawing, sub-controls above it and they get input first. The virtual
// OnControl... operations are what concrete controls override; the
// non-virtual On... operations route input down the tree.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "velo/core/control_host.h"
#include "velo/core/control_ref.h"
#include "velo/core/critical_section.h"
#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/mobject.h"
#include "velo/core/offscreen_buffer.h"
#include "velo/core/velo_api.h"

namespace VELO {

class PaintManager;

class VELO_API MControl : public MObject {
 public:
  MControl(MObject* owner, UINT id, CRect rc, BOOL visible, BOOL enabled, BOOL responds);
  ~MControl() override;
  MControl(const MControl&) = delete;
  MControl& operator=(const MControl&) = delete;

  const wchar_t* GetClassNameW() const override;

  virtual void InitControl(PaintManager* manager);
  virtual int OnScroll(int delta, UINT keys, CPoint pt);
  virtual int PtInRect(CPoint pt);
  virtual void DrawControl(HDC& dc, CRect paintRect) = 0;
  virtual int DrawSubControls(HDC& dc, CRect paintRect);
  virtual int IsDraw(CPoint pt);
  virtual void SetUpdate(int update, DWORD arg);
  virtual int SetControlFocus(int focus);
  virtual void InitUI(CRect rc);
  virtual int OnMousePointChange(CPoint& pt);
  virtual int OnCheckMouseResponse(UINT keys, CPoint pt);
  virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
  virtual void SetControlRect(CRect rc);
  virtual void SetControlVisible(int visible);
  virtual void SetControlWndVisible(int visible);
  virtual void SetControlEnabled(int enabled);
  virtual int OnControlTimer();
  virtual HBITMAP GetControlDropBitmap();
  virtual int OnControlMouseMove(UINT keys, CPoint pt);
  virtual int OnControlSetCursor(UINT keys, CPoint pt);
  virtual int OnControlLButtonDown(UINT keys, CPoint pt);
  virtual int OnControlLButtonUp(UINT keys, CPoint pt);
  virtual int OnControlLButtonDblClk(UINT keys, CPoint pt);
  virtual int OnControlScroll(int delta, UINT keys, CPoint pt);
  virtual int OnControlRButtonDown(UINT keys, CPoint pt);
  virtual int OnControlRButtonUp(UINT keys, CPoint pt);
  virtual int OnControlRButtonDblClk(UINT keys, CPoint pt);
  virtual int OnControlKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual void OnPositionChange();
  virtual void InvalidateRect(const RECT* rc, BOOL erase);

  // Input routing (mcontrol_input.cpp). Each returns nonzero when something
  // in this control's tree handled the event.
  int OnMouseMove(UINT keys, CPoint pt);
  int OnLButtonDown(UINT keys, CPoint pt);
  int OnLButtonUp(UINT keys, CPoint pt);
  int OnLButtonDblClk(UINT keys, CPoint pt);
  int OnRButtonDown(UINT keys, CPoint pt);
  int OnRButtonUp(UINT keys, CPoint pt);
  int OnRButtonDblClk(UINT keys, CPoint pt);
  int OnKeyDown(UINT vk, UINT repeat, UINT flags);
  int OnKeyUp(UINT vk, UINT repeat, UINT flags);
  int OnTimer();

  // Area children, the control itself, then its sub-controls.
  void Draw(HDC& dc, CRect paintRect);

  // Geometry, visibility and repaint requests to the owner.
  void SetRect(CRect rc);
  void SetRect(int x, int y, int width, int height);
  void SetVisible(int visible);
  void SetVisible(int visible, int notify);
  void SetEnabled(int enabled);
  int IsParentVisible();
  void UpdateControl(int resetCache, int force);
  void UpdateControl(CRect rc, int force, int resetCache);
  void UpdateAControl(int keepAnimation, int force);
  LRESULT SendMessageW(UINT code, WPARAM wParam, LPARAM lParam);

  int SetCursorEx(const wchar_t* name);
  HCURSOR GetControlCursor() const noexcept { return m_hCursor; }

  void SetTooltip(CString text, CRect area);
  void SetTooltip(const wchar_t* text);
  void ClearTooltip();
  CString GetTooltip() const { return m_strTooltip; }
  void SetTooltipCtrlID(int) noexcept {}
  int GetTooltipCtrlID() noexcept { return 0; }

  // Children. The control takes ownership; the pointer returned is borrowed.
  // A child without a paint manager gets this control's.
  MControl* AddControl(std::unique_ptr<MControl> child);
  MControl* AddArea(std::unique_ptr<MControl> child);
  // Depth-first: each sub-control, then its descendants; then the areas.
  MControl* GetControl(UINT id);
  // The sub-controls, borrowed.
  std::vector<MControl*> GetControls();
  std::vector<MControl*> GetAreaControls();
  int RemoveControl(MControl* child);
  void RemoveAllControl();

  // Focus, through the paint manager of the window.
  int OnFocus(int focus);
  int IsFocusControl();
  MControl* GetNextFocusableControl() { return nullptr; }
  MControl* GetPrevFocusableControl() { return nullptr; }
  MControl* GetFocusControl() { return nullptr; }

  // Registers with the window's high-resolution control timer: OnTimer then
  // runs on the multimedia timer thread. The registration is a ControlRef:
  // ticks stop once the control is detached (Detach, which every owner
  // calls before destroying a child) or its base destructor runs. A control
  // destroyed directly, whose derived state its ticks read, calls Detach()
  // first in its own destructor.
  int AddMTimer();

  // Marks this control and its children gone for every ControlRef, waiting
  // for a tick that is running on them. Owners call it before destruction.
  void Detach() noexcept;
  // The same without waiting: every ControlRef reads null at once. For a
  // control removed while locks are held; Detach follows before deletion.
  void MarkDetached() noexcept;
  ControlRef Ref() noexcept { return ControlRef(this); }
  const std::shared_ptr<ControlLife>& GetLife() const noexcept { return m_life; }

  // Off-screen buffers: the cached look, and a second one for animations.
  BOOL UpdateMemDC(HDC& dc, int cx, int cy);
  BOOL UpdateAnimateDC(HDC& dc, int cx, int cy);
  HDC GetMemDC() const noexcept { return m_memBuffer.GetDC(); }
  HBITMAP GetMemBitmap() const noexcept { return m_memBuffer.GetBitmap(); }
  HDC GetAnimateDC() const noexcept { return m_animateBuffer.GetDC(); }
  HBITMAP GetAnimateBitmap() const noexcept { return m_animateBuffer.GetBitmap(); }
  HBITMAP GetDropBitmap();

  MObject* GetParantObject() const noexcept { return m_pOwner; }
  void SetParent(MObject* owner) noexcept { m_pOwner = owner; }
  PaintManager* GetManager() const noexcept { return m_pManager ? m_pManager->GetPaintManager() : nullptr; }
  // A PaintManager converts to its ControlHost.
  void SetManager(ControlHost* manager) noexcept { m_pManager = manager; }
  ControlHost* GetHost() const noexcept { return m_pManager; }
  UINT GetControlID() const noexcept { return m_uControlID; }
  CRect GetRect() const noexcept { return m_rcControl; }
  int IsVisible() const noexcept { return m_bVisible; }
  int IsEnabled() const noexcept { return m_bEnabled; }
  int IsDragDrop() const noexcept { return m_bDragDrop; }
  void SetDragDrop(int on) noexcept { m_bDragDrop = on ? 1 : 0; }
  int GetRresponse() const noexcept { return m_bResponse; }
  void SetRresponse(int on) noexcept { m_bResponse = on ? 1 : 0; }
  int IsTabStop() const noexcept { return m_bTabStop; }
  void SetTabStop(int on) noexcept { m_bTabStop = on ? 1 : 0; }
  int GetDblClk() const noexcept { return m_bDblClk; }
  void SetDblClk(int on) noexcept { m_bDblClk = on ? 1 : 0; }
  int IsPressed() const noexcept { return m_bPressed; }
  int IsKeyDown() const noexcept { return m_bKeyDown; }
  int IsFocused() const noexcept { return m_bFocused; }
  void SetHotKey(UINT vk, UINT flags) noexcept {
    m_uHotKey = vk;
    m_uHotKeyFlags = flags;
  }
  UINT GetHotKey() const noexcept { return m_uHotKey; }
  UINT GetHotKeyFlags() const noexcept { return m_uHotKeyFlags; }
  int GetUpdate() const noexcept { return m_bUpdate; }
  int IsAnimating() const noexcept { return m_bAnimating; }
  int IsRunTimer() const noexcept { return m_bRunTimer; }
  void SetRunTimer(int on) noexcept { m_bRunTimer = on ? 1 : 0; }
  int UseImageECM() const noexcept { return m_bImageECM; }
  void SetImageECM(int on) noexcept { m_bImageECM = on ? 1 : 0; }
  MControl* GetActiveChild() const noexcept { return m_pActiveChild.Get(); }
  void SetTrackInside(int on) noexcept { m_bTrackInside = on ? 1 : 0; }
  int GetTrackInside() const noexcept { return m_bTrackInside; }
  void SetNotifyDblClk(int on) noexcept { m_bNotifyDblClk = on ? 1 : 0; }
  int GetNotifyDblClk() const noexcept { return m_bNotifyDblClk; }
  void SetNotifyKeys(int on) noexcept { m_bNotifyKeys = on ? 1 : 0; }
  int GetNotifyKeys() const noexcept { return m_bNotifyKeys; }
  int IsOutside() const noexcept { return m_bOutside; }

 protected:
  MObject* m_pOwner;
  ControlHost* m_pManager = nullptr;
  UINT m_uControlID;
  CRect m_rcControl;
  // Visible and run-timer are also read by timer ticks on the multimedia
  // timer thread.
  std::atomic<int> m_bVisible;
  int m_bEnabled;
  int m_bDragDrop = 0;
  int m_bResponse;
  int m_bTabStop = 0;
  int m_bDblClk = 0;
  int m_bPressed = 0;
  int m_bKeyDown = 0;
  int m_bFocused = 0;
  UINT m_uHotKey = 0;
  UINT m_uHotKeyFlags = 0;
  int m_bUpdate = 0;
  int m_bAnimating = 0;
  std::atomic<int> m_bRunTimer{0};
  int m_bImageECM = 0;
  std::vector<std::unique_ptr<MControl>> m_areaControls;
  std::vector<std::unique_ptr<MControl>> m_subControls;
  CriticalSection m_areaLock;
  CriticalSection m_subLock;
  ControlRef m_pActiveChild;
  OffscreenBuffer m_memBuffer;
  OffscreenBuffer m_animateBuffer;
  CString m_strTooltip;
  HCURSOR m_hCursor = nullptr;
  int m_bTrackInside = 0;
  int m_bNotifyDblClk = 0;
  int m_bNotifyKeys = 0;
  int m_bOutside = 1;
  // Shared with every ControlRef to this control.
  std::shared_ptr<ControlLife> m_life = std::make_shared<ControlLife>();

 private:
  // The point a child receives: ids 1 and 2 (a container's scroll bars) get
  // it untranslated.
  static CPoint PointFor(const MControl* child, CPoint original, CPoint translated) noexcept;
  int ButtonDown(UINT keys, CPoint pt, bool right);
  int ButtonUp(UINT keys, CPoint pt, bool right);
  int ButtonDblClk(UINT keys, CPoint pt, bool right);
  void NotifyKey(UINT vk, UINT flags);
  MControl* AdoptChild(std::vector<std::unique_ptr<MControl>>& list, CriticalSection& lock,
                       std::unique_ptr<MControl> child);
  static std::vector<ControlRef> RefsOf(const std::vector<std::unique_ptr<MControl>>& list,
                                        CriticalSection& lock);
};

}  // namespace VELO
