// PaintManager: the per-window engine. It owns the window's top-level
// controls in two z-ordered lists (areas beneath, controls above), paints the
// whole client area into one 32-bit off-screen bitmap on every WM_PAINT (for
// a layered window pushed with per-pixel alpha), routes mouse and keyboard
// input to controls, holds capture and focus, drags the window by a press on
// no control, and offers its controls the services of its collaborators:
// image and font caches, window timers, high-resolution ticks, the message
// and progress overlay, tooltip, balloon tip, caret and shadow settings.
//
// Files: paint_manager.cpp (binding, appearance, dispatch, destruction),
// paint_manager_paint.cpp (the paint step), paint_manager_input.cpp (input
// routing and focus), paint_manager_controls.cpp (the control lists),
// paint_manager_services.cpp (caches, timers, overlays).
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <atomic>
#include <memory>
#include <vector>

#include "common/win/unique_any.h"
#include "velo/core/control_host.h"
#include "velo/core/control_ref.h"
#include "velo/core/critical_section.h"
#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/rktimer.h"
#include "velo/core/velo_api.h"
#include "velo/paint/background_cache.h"
#include "velo/paint/balloon_hook.h"
#include "velo/paint/caret.h"
#include "velo/paint/control_lists.h"
#include "velo/paint/control_ticker.h"
#include "velo/paint/drop_target.h"
#include "velo/paint/font_cache.h"
#include "velo/paint/image_cache.h"
#include "velo/paint/input_router.h"
#include "velo/paint/message_overlay.h"
#include "velo/paint/shadow_settings.h"
#include "velo/paint/tooltip.h"
#include "velo/paint/window_timers.h"

namespace VELO {

class MControl;
class MObject;
class MWindow;
class MRichEdit;
class MShadow;

enum enumBackMode { BACK_STRETCH = 0, BACK_FRAME = 1 };

class VELO_API PaintManager : public RKTimer, public CIDropTarget, public ControlHost {
 public:
  PaintManager() noexcept;
  ~PaintManager() override;
  PaintManager(const PaintManager&) = delete;
  PaintManager& operator=(const PaintManager&) = delete;

  // Binding and window. Init is ignored for a null or dead handle.
  void Init(HWND window, MWindow* dialog) noexcept;
  HWND GetPaintWnd() const noexcept { return m_hWnd; }
  HDC GetPaintDC() const noexcept { return m_hDC.get(); }
  MWindow* GetMDialog() const noexcept { return m_pDialog; }
  int IsInitialized() const noexcept { return m_bInitialized; }
  void Invalidate() noexcept;
  // The whole window with erase when layered, else `rc` with `erase`.
  void InvalidateRect(CRect rc, BOOL erase) noexcept override;
  void GetClientRect(CRect& rc) const noexcept;
  void GetWindowRect(CRect& rc) const noexcept;
  void GetClientSize(int& cx, int& cy) const noexcept;
  LRESULT SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  BOOL PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  void SetCapture() noexcept;
  void ReleaseCapture() noexcept;
  int IsCaptured() const noexcept { return m_input.IsCaptured(); }

  // Appearance.
  BOOL LoadBKImage(CString file);
  BOOL LoadBKImage(UINT id, CString type);
  void SetBackMode(enumBackMode mode, int corner) noexcept;
  void SetBackColor(COLORREF fill, COLORREF border) noexcept;
  void SetLayeredWindow(BOOL layered) noexcept { m_bLayered = layered ? 1 : 0; }
  int IsLayered() const noexcept { return m_bLayered; }
  void EnableDrawInfo(BOOL on) noexcept { m_bDrawInfo = on ? 1 : 0; }
  void EnableWndDrag(BOOL on) noexcept { m_input.EnableWindowDrag(on != FALSE); }
  void SetCaptionRect(CRect rc) noexcept { m_rcCaption = rc; }
  CRect GetCaptionRect() const noexcept { return m_rcCaption; }
  void SetWindowMaxSize(int cx, int cy) noexcept;
  void SetWindowMixSize(int cx, int cy) noexcept;
  void GetWindowMinSize(int& cx, int& cy) const noexcept;
  void GetWindowManSize(int& cx, int& cy) const noexcept;
  DWORD GetDefaultEnabledColor() const noexcept { return m_dwDefaultColor; }
  void SetDefaultEnabledColor(DWORD color) noexcept { m_dwDefaultColor = color; }
  void SetScrollResID(UINT vertical, UINT horizontal) noexcept;
  UINT GetScrollVID() const noexcept { return m_uScrollV; }
  UINT GetScrollHID() const noexcept { return m_uScrollH; }

  // Controls. The factory builds by class name; an unknown name gives null.
  MControl* CreateControl(MObject* owner, const wchar_t* className, UINT id, CRect rc, const wchar_t* text,
                          BOOL visible, BOOL enabled);
  MControl* CreateArea(MObject* owner, const wchar_t* className, UINT id, CRect rc, const wchar_t* text,
                       BOOL visible, BOOL enabled);
  // list 0: areas, 1: controls; other values file it nowhere and hand it
  // back unowned (the caller deletes it).
  MControl* CreateControl(UINT list, MObject* owner, const wchar_t* className, UINT id, CRect rc,
                          const wchar_t* text, BOOL visible, BOOL enabled);
  // Takes a control built elsewhere into a list (0 areas, 1 controls).
  MControl* AddControl(std::unique_ptr<MControl> control, UINT list);
  MControl* GetControl(UINT id);
  std::vector<MControl*> GetControls();
  std::vector<MControl*> GetAreaControls();
  void RemoveControl(MControl* control);
  void ClearControls();
  void ClearAreaControls();
  void ClearAllControls();
  LRESULT OnControlUpdate(CRect rc, int resetCache, MControl* control);

  // Focus and input state.
  MControl* GetFocusControl() override { return m_input.Focus(); }
  void SetFocusControl(MControl* control) override;
  MControl* GetNextFocusableControl();
  MControl* GetPrevFocusableControl();
  MControl* GetHoverControl() const noexcept { return m_input.Hover(); }

  // Messages.
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  BOOL PreTranslateMessage(MSG* msg);
  void OnDestroyMessage(HWND window);
  void DestroyData();

  // Image and font caches.
  ImgResInfo* AddImgResInfo(const wchar_t* name, int frames);
  ImgResInfo* AddImgResInfo(UINT id, CString type, int frames, BOOL applicationModule);
  void ClearImgResInfo() noexcept;
  BOOL AddGDITempFont(UINT id) noexcept;
  Gdiplus::FontFamily* AddTempFont(const wchar_t* name, const wchar_t* file);
  Gdiplus::FontFamily* AddTempFont(const wchar_t* name, UINT id);
  Gdiplus::FontFamily* FindTempFont(const wchar_t* name);
  void ClearTempFont() noexcept;
  ImageCache& GetImageCache() noexcept { return m_images; }
  FontCache& GetFontCache() noexcept { return m_fonts; }

  // Window timers and high-resolution ticks for controls.
  BOOL SetTimer(MControl* control, UINT id, UINT elapse) noexcept;
  BOOL KillTimer(MControl* control, UINT id) noexcept;
  void KillTimer(MControl* control) noexcept;
  void ClearTimers() noexcept;
  // The window-timer id of a control's live timer, or 0xFFFFFFFF.
  UINT GetWindowTimerID(MControl* control, UINT id) noexcept;
  UINT SetMTimer(UINT elapse) noexcept;
  void KillMTimer(UINT id) noexcept;
  void KillMTimer() noexcept;
  int AddMTimer(MControl* control) override;
  BOOL DeleteFSTimer(MControl* control) override;
  using RKTimer::OnMTimer;
  void OnMTimer(UINT id) override;

  // Message and progress overlay.
  void SetMessage(CString text, CRect rc, MsgLevel level);
  void SetProgress(int percent, CString text, CRect rc);
  const MessageOverlay& GetMessageOverlay() const noexcept { return m_overlay; }

  // Shadow settings, read by the dialog's shadow window.
  void CreateShadow(BOOL show, bool flag) noexcept;
  void SetSize(int size) noexcept;
  void SetSharpness(UINT sharpness) noexcept;
  void SetDarkness(UINT darkness) noexcept;
  void SetPosition(int x, int y) noexcept;
  void SetShadowColor(COLORREF color) noexcept;
  void SetShadowImage(const wchar_t* name, CRect corners);
  void SetShadowImage(UINT id, CRect corners) noexcept;
  void SetShadowShow(BOOL show) noexcept;
  void DisableShadow(BOOL disable) noexcept;
  const ShadowSettings& GetShadowSettings() const noexcept { return m_shadow; }
  // The shadow window, made on first use; it draws once CreateShadow ran.
  MShadow& GetShadow();

  // Tooltip.
  void SetTooltip(const wchar_t* text, CRect rc) override;
  void ClearTooltip() override;
  void SetTooltipCtrlID(int id) override { m_tooltip.m_ownerId = id; }
  int GetTooltipCtrlID() override { return m_tooltip.m_ownerId; }
  HWND GetToolTipWnd() const noexcept { return m_tooltip.GetWindow(); }
  CString GetTooltipText() const { return m_tooltip.GetText(); }
  CRect GetTooltipRect() const noexcept { return m_tooltip.GetRect(); }
  int IsTooltipActive() const noexcept { return m_tooltip.IsActive(); }

  // Balloon tip, made by the installed factory on first use.
  static void SetBalloonFactory(BalloonFactory factory) noexcept;
  void SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
  BOOL ShowAirBladder(BOOL show, int ownerId);
  BalloonTip* GetAirBladder() const noexcept { return m_balloon.get(); }

  // Caret of an edit control, drawn by the paint step. As with ::CreateCaret
  // the bitmap stays the caller's (null: an inverted block).
  void CreateCaret(HBITMAP bitmap, int width, int height) noexcept;
  void ShowCaret(BOOL show) noexcept;
  void SetCaretPos(MRichEdit* owner, int x, int y) noexcept;
  MRichEdit* GetCurrentCaretObject() const noexcept { return m_caret.Owner(); }
  void DrawCaret(HDC dc, const CRect& paint) noexcept;

  // One control rendered alone into a new 32-bit bitmap (drag images).
  HBITMAP GenerateBitmap(MControl* control, CRect rc, DWORD argb);
  bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override;

  // ControlHost.
  PaintManager* GetPaintManager() noexcept override { return this; }
  bool DeferDestroy(std::unique_ptr<MControl>& control) override;

 protected:
  int OnPaint();

 public:
  // One frame of the paint step into `paintDC` (no BeginPaint, no sleep):
  // what OnPaint does between BeginPaint and EndPaint. Also the
  // benchmark's entry.
  BOOL PaintFrame(HDC paintDC, CRect update);

 protected:
  void OnTimer(UINT_PTR id);
  int OnMouseMove(UINT keys, CPoint pt);
  int OnMouseLeave();
  int OnMouseWheel(UINT keys, int delta, CPoint screenPt);
  int OnLButtonDown(UINT keys, CPoint pt);
  int OnLButtonUp(UINT keys, CPoint pt);
  int OnLButtonDblClk(UINT keys, CPoint pt);
  int OnRButtonDown(UINT keys, CPoint pt);
  int OnRButtonUp(UINT keys, CPoint pt);
  int OnRButtonDblClk(UINT keys, CPoint pt);
  int OnKeyDown(UINT vk, UINT flags);
  int OnKeyUp(UINT vk, UINT flags);
  void OnNcActivate(BOOL active);
  void OnWindowPosChanged(WINDOWPOS* pos);
  void OnGetMinMaxInfo(MINMAXINFO* info) noexcept;
  // The background drawn directly; the paint step copies it from
  // m_background, which renders it the same way once.
  void DrawBackImage(Gdiplus::Graphics& g, const CRect& client);
  void DrawControl(HDC& dc, CRect paint);
  void DrawInfo(Gdiplus::Graphics& g, int width);

 private:
  bool Live() const noexcept { return m_hWnd && ::IsWindow(m_hWnd); }
  std::vector<ControlRef> Snapshot(bool areas) { return m_lists.Snapshot(areas); }
  // The topmost responding control under a client point, or null.
  MControl* ControlAt(CPoint pt);
  static unsigned CurrentModifierCode() noexcept;

  // Binding.
  int m_bInitialized = 0;
  HWND m_hWnd = nullptr;
  ostrel::win::unique_window_dc m_hDC;
  MWindow* m_pDialog = nullptr;
  // Appearance.
  COLORREF m_crFill = 0x00C8C8C8;
  COLORREF m_crBorder = 0x00646464;
  CRect m_rcCaption;
  int m_nMaxCx = 0, m_nMaxCy = 0;
  int m_nMinCx = 0, m_nMinCy = 0;
  int m_bLayered = 0;
  std::unique_ptr<Gdiplus::Image> m_pBkImage;
  int m_nBkWidth = 0, m_nBkHeight = 0;
  enumBackMode m_backMode = BACK_STRETCH;
  int m_nBackCorner = 4;
  int m_bDrawInfo = 0;
  DWORD m_dwDefaultColor = 0x00808080;
  UINT m_uScrollV = 102;
  UINT m_uScrollH = 101;
  // Controls: the lists, their locks, the dispatch snapshot and the deferred
  // destruction.
  ControlLists m_lists;
  // Input: hover, focus, press, capture, drag start.
  InputRouter m_input{*this, m_lists};
  // Collaborators.
  BackgroundCache m_background;
  ImageCache m_images;
  FontCache m_fonts;
  WindowTimers m_windowTimers;
  ControlTicker m_ticker;
  std::atomic<UINT> m_uMTimerID{0};
  MessageOverlay m_overlay;
  Caret m_caret;
  ShadowSettings m_shadow;
  std::unique_ptr<MShadow> m_pShadowWnd;
  Tooltip m_tooltip;
  std::unique_ptr<BalloonTip> m_balloon;
  int m_nBalloonOwner = 0;
};

}  // namespace VELO
