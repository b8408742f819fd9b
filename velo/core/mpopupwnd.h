// MPopupWnd: the library's transient pop-up. A skinned window holding
// controls like MDialog, but owned by a control: it closes itself as soon as
// it loses activation and reports the user's choice to that control
// (SendMessageToParent). The owning control deletes the object.
#pragma once

#include <windows.h>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/mobject.h"
#include "velo/core/mwindow.h"
#include "velo/core/velo_api.h"
#include "velo/paint/paint_manager.h"

namespace VELO {

class MControl;

class VELO_API MPopupWnd : public MWindow, public MObject {
 public:
  MPopupWnd() = default;
  ~MPopupWnd() override;
  MPopupWnd(const MPopupWnd&) = delete;
  MPopupWnd& operator=(const MPopupWnd&) = delete;

  LPCWSTR GetWindowClassName() const override { return L"VELOPopupWnd"; }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  void OnDestroyMessage(HWND hwnd) override;

  const wchar_t* GetClassNameW() const override { return L"MPopupWnd"; }
  LRESULT OnBaseMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnControlUpdate(CRect rc, int resetCache, MControl* control) override;

  virtual MObject* GetParent();
  virtual void InitUI(CRect client);
  virtual void UISize(CRect client);
  virtual LRESULT OnMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
  virtual void CloseWindow();
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
  virtual int PostNcDestroy();
  virtual int OnDestroy();

  void SetParent(MObject* parent) noexcept { m_pParent = parent; }
  // The parent control's OnMessage(0, code, ...); 0 without a parent.
  int SendMessageToParent(UINT code, WPARAM wParam, LPARAM lParam);

  MControl* CreateControl(const wchar_t* className, UINT id, CRect rc, const wchar_t* text, BOOL visible,
                          BOOL enabled);
  MControl* CreateArea(const wchar_t* className, UINT id, CRect rc, const wchar_t* text, BOOL visible,
                       BOOL enabled);
  MControl* GetControl(UINT id);
  BOOL LoadBKImage(CString file);
  BOOL LoadBKImage(UINT resourceId, CString type);
  void SetBackMode(enumBackMode mode, int value);
  void SetScrollResID(UINT vertical, UINT horizontal);
  void SetupBackTranslucent();
  void SetLayeredWindow(BOOL layered);
  PaintManager& GetPaintManager() noexcept { return m_pm; }

 protected:
  void SetupRegion(int corner);

  PaintManager m_pm;
  COLORREF m_crKey = 0x00F1F1F1;
  int m_nAlpha = 255;
  MObject* m_pParent = nullptr;

 private:
  int m_nPosDepth = 0;
};

}  // namespace VELO
