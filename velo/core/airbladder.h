// MAirBladder: the balloon message window. A small borderless layered pop-up
// that shows a short, possibly multi-line text in a bubble next to a screen
// point (under a control, typically), in the library's own font. It hides
// after 5 seconds (unless its type is 4) or when it loses the focus (unless
// its mode is 5). Each window's paint manager makes at most one, through the
// factory that InstallAirBladderFactory installs.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <memory>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/mwindow.h"
#include "velo/core/velo_api.h"
#include "velo/paint/balloon_hook.h"
#include "velo/paint/paint_manager.h"

namespace VELO {

class VELO_API MAirBladder : public MWindow {
 public:
  MAirBladder();
  ~MAirBladder() override;
  MAirBladder(const MAirBladder&) = delete;
  MAirBladder& operator=(const MAirBladder&) = delete;

  LPCWSTR GetWindowClassName() const override { return L"VELOAirBladder"; }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

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
  virtual int OnSetFocus(MWindow* old);
  virtual int OnKillFocus(MWindow* next);
  virtual int OnWindowPosChanging(WINDOWPOS* pos);
  virtual int OnWindowPosChanged(WINDOWPOS* pos);
  virtual int OnPaint();
  virtual void OnTimer(UINT id);
  virtual int OnNcPaint();
  virtual int OnClose();
  virtual int PostNcDestroy();
  virtual int OnDestroy();

  BOOL LoadBKImage(CString file);
  BOOL LoadBKImage(UINT resourceId, CString type);
  BOOL LoadArrowLImage(CString file);
  BOOL LoadArrowLImage(UINT resourceId, CString type);
  BOOL LoadArrowRImage(CString file);
  BOOL LoadArrowRImage(UINT resourceId, CString type);
  BOOL LoadArrowTImage(CString file);
  BOOL LoadArrowTImage(UINT resourceId, CString type);
  void SetBackMode(enumBackMode mode, int value) noexcept;

  // 1 when shown (or already showing the same message). A null text gives 0.
  int SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);

  const CString& GetText() const noexcept { return m_strText; }
  int GetLineCount() const noexcept { return m_nLines; }
  Gdiplus::FontFamily* GetFontFamily() const noexcept { return m_pFontFamily.get(); }

 private:
  void Fit();
  Gdiplus::Size MeasureLine(Gdiplus::Font& font);

  CString m_strText;
  POINT m_ptAnchor{0, 0};
  int m_nType = 1;
  int m_nMode = 3;
  std::unique_ptr<Gdiplus::FontFamily> m_pFontFamily;
  std::unique_ptr<Gdiplus::StringFormat> m_pFormat;
  std::unique_ptr<Gdiplus::Image> m_pBkImage;
  int m_nBkWidth = 0, m_nBkHeight = 0;
  std::unique_ptr<Gdiplus::Image> m_pArrowL;
  int m_nArrowLWidth = 0, m_nArrowLHeight = 0;
  std::unique_ptr<Gdiplus::Image> m_pArrowR;
  int m_nArrowRWidth = 0, m_nArrowRHeight = 0;
  std::unique_ptr<Gdiplus::Image> m_pArrowT;
  int m_nArrowTWidth = 0, m_nArrowTHeight = 0;
  int m_nLines = 1;
  // Owns the font behind the family (the family refers into it).
  std::unique_ptr<Gdiplus::PrivateFontCollection> m_pFonts;
  enumBackMode m_backMode = BACK_STRETCH;
  int m_nBackValue = 0;
};

// Lets every paint manager make its balloon as an MAirBladder (idempotent).
VELO_API void InstallAirBladderFactory() noexcept;

}  // namespace VELO
