// MDialog: the skinned top-level window of the library and the base of every
// window a program shows. It binds a native window (MWindow), receives its
// controls' notifications (MObject) and embeds the PaintManager that owns,
// draws and feeds those controls. Each window message goes first to the
// dialog's own virtual handler, then to the paint manager, then to the
// previous window procedure.
//
// Closing: DoOK/DoCancel/DoClose/DoYes/DoNo post 0x0442 with 1, 2, 2, 6, 7;
// the dialog answers with WM_CLOSE carrying the same code, which ShowModal
// returns. All controls are deleted when the window goes (WM_NCDESTROY); the
// object itself is deleted by whoever created it.
#pragma once

#include <windows.h>

#include <vector>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
// WM_VELO_USERCLOSE, which DoOK and its siblings post.
#include "velo/core/handler_dispatch.h"
#include "velo/core/mobject.h"
#include "velo/core/mwindow.h"
#include "velo/core/velo_api.h"
#include "velo/paint/paint_manager.h"

namespace VELO {

class MControl;

class VELO_API MDialog : public MWindow, public MObject {
 public:
  MDialog();
  ~MDialog() override;
  MDialog(const MDialog&) = delete;
  MDialog& operator=(const MDialog&) = delete;

  // MWindow.
  LPCWSTR GetWindowClassName() const override { return L"VELODialog"; }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  void OnDestroyMessage(HWND hwnd) override;

  // MObject.
  const wchar_t* GetClassNameW() const override { return L"MDialog"; }
  LRESULT OnBaseMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnControlUpdate(CRect rc, int resetCache, MControl* control) override;

  // Own virtual operations, in table order.
  virtual POINT GetAirBladderPoint(MControl* control, UINT type);
  virtual void OnMinimize();
  virtual void OnMaximize();
  virtual void InitUI(CRect client);
  virtual void UISize(CRect client);
  virtual LRESULT OnMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
  virtual int OnCreate(CREATESTRUCTW* cs);
  virtual int OnSize(UINT type, int cx, int cy);
  virtual int OnMouseMove(UINT keys, CPoint pt);
  virtual int OnMouseLeave(UINT keys, LPARAM lParam);
  virtual int OnMouseHover(UINT keys, LPARAM lParam);
  virtual int OnMouseWheel(UINT keys, short delta, CPoint pt);
  virtual int OnLButtonDown(UINT keys, CPoint pt);
  virtual int OnLButtonUp(UINT keys, CPoint pt);
  virtual int OnLButtonDblClk(UINT keys, CPoint pt);
  virtual int OnRButtonDown(UINT keys, CPoint pt);
  virtual int OnRButtonUp(UINT keys, CPoint pt);
  virtual int OnRButtonDblClk(UINT keys, CPoint pt);
  virtual int OnKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual int OnNcHitTest(CPoint pt);
  virtual int OnGetMinMaxInfo(MINMAXINFO* info);
  virtual int OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  virtual int OnNcActivate(BOOL active);
  virtual int OnWindowPosChanging(WINDOWPOS* pos);
  virtual int OnWindowPosChanged(WINDOWPOS* pos);
  virtual int OnPaint();
  virtual void OnTimer(UINT id);
  virtual int OnNcPaint();
  virtual int OnClose();
  virtual int OnDestroy();
  // The last call a dialog gets, after its window is gone: the place for a
  // dialog that deletes itself.
  virtual int PostNcDestroy();

  // Closing with a result for ShowModal.
  void DoOK();
  void DoCancel();
  void DoClose();
  void DoYes();
  void DoNo();

  // Controls, owned by the paint manager. Areas are drawn beneath the
  // controls and never get input. An unknown class name gives null.
  MControl* CreateControl(const wchar_t* className, UINT id, CRect rc, const wchar_t* text, BOOL visible,
                          BOOL enabled);
  MControl* CreateArea(const wchar_t* className, UINT id, CRect rc, const wchar_t* text, BOOL visible,
                       BOOL enabled);
  MControl* GetControl(UINT id);
  std::vector<MControl*> GetControls();
  void SetFocusControl(MControl* control);

  // Look.
  BOOL LoadBKImage(CString file);
  BOOL LoadBKImage(UINT resourceId, CString type);
  void SetBackMode(enumBackMode mode, int value);
  void SetLayeredWindow(BOOL layered);
  void EnableDrawInfo(BOOL on);
  void EnableWndDrag(BOOL on);
  void SetupBackTranslucent();
  void SetScrollResID(UINT vertical, UINT horizontal);

  // Drop shadow (a companion window). Out-of-range values give 0 and change
  // nothing.
  void CreateShadow(BOOL show, bool flag);
  int SetSize(int size);
  int SetSharpness(UINT sharpness);
  int SetDarkness(UINT darkness);
  int SetPosition(int x, int y);
  void SetShadowColor(COLORREF color);
  void SetShadowImage(const wchar_t* name, CRect corners);
  void SetShadowImage(UINT id, CRect corners);
  void SetShadowShow(BOOL show);

  // Overlays.
  void SetMessage(CString text, CRect rc, MsgLevel level);
  void SetProgress(int percent, CString text, CRect rc);
  void SetTooltip(CString text, CRect area);
  void ClearTooltip();
  void SetTooltipCtrlID(int id);
  int GetTooltipCtrlID();
  UINT SetMTimer(UINT elapse);
  void KillMTimer(UINT id);

  // Balloon tip under a control: 0 (and nothing shown) for a point with a
  // zero coordinate.
  int SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type);

  PaintManager& GetPaintManager() noexcept { return m_pm; }
  CRect GetClientRectCached() const noexcept { return m_rcClient; }

 protected:
  void SetupRegion(int corner);

  PaintManager m_pm;
  COLORREF m_crKey = 0x00FFFFFF;
  int m_nAlpha = 255;
  int m_nMsgOffset = 0;
  CRect m_rcClient;

 private:
  void PostUserClose(WPARAM code);
};

}  // namespace VELO
