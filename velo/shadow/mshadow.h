// MShadow: a soft drop shadow around a top-level window, drawn in a second,
// layered, click-through window kept just behind it. The owner window is
// subclassed so the shadow follows it when it moves, resizes, hides and
// shows. Two looks: computed from the window's outline, or a skin image
// drawn around the window in nine parts.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <map>
#include <memory>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/velo_api.h"
#include "velo/plain/shadow_state.h"

namespace VELO {

class PaintManager;

class VELO_API MShadow {
 public:
  MShadow() = default;
  MShadow(const MShadow&) = delete;
  MShadow& operator=(const MShadow&) = delete;
  // Also gives the owner its window procedure back and removes the shadow
  // window, so a shadow that goes before its owner leaves nothing behind.
  virtual ~MShadow();

  // Registers "ShadowWnd" once per process (again with `force`); 1 when it
  // registered.
  static int Initialize(HINSTANCE instance, bool force);
  // Nothing while the show flag is 0.
  void Create(PaintManager* manager);

  // Turning it off also hides a shadow window already shown.
  void ShowShadow(BOOL show);
  int IsShowShadow() const noexcept { return m_bShow; }
  void DisableShadow(BOOL disable);
  int IsDisableShadow() const noexcept { return m_bDisabled; }

  int SetSize(int size);
  int SetSharpness(UINT sharpness);
  int SetDarkness(UINT darkness);
  int SetPosition(int x, int y);
  int SetColor(DWORD color);
  int SetImage(const wchar_t* name);
  int SetImage(UINT id);
  int SetShadowCorner(CRect margins);
  int CopyShadow(MShadow* other);

  HWND GetShadowWnd() const noexcept { return m_hWnd; }
  HWND GetOwnerWnd() const noexcept { return m_hOwner; }
  int GetState() const noexcept { return m_Status; }

  static std::map<HWND, MShadow*>& GetShadowMap();

 protected:
  void Update(HWND owner);
  // Fills a bitmap of the shadow size (top-down rows) for the owner.
  void MakeShadow(UINT32* bits, HWND owner, RECT* windowRect);

 private:
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Takes the step's state and does its actions on the shadow window; `size`
  // is the owner's size when the step remembers it.
  void Apply(const render::ShadowStep& step, HWND owner, LPARAM size);
  void RedrawIfShown();
  POINT ShadowOrigin(const RECT& ownerRect) const noexcept;
  void Unhook() noexcept;

  PaintManager* m_pManager = nullptr;
  HWND m_hWnd = nullptr;
  BYTE m_Status = 0;  // a render::ShadowState
  int m_nImageMode = 0;
  std::unique_ptr<Gdiplus::Image> m_pImage;
  int m_nImageWidth = 0, m_nImageHeight = 0;
  CString m_strImageName;
  UINT m_uImageId = 0;
  CRect m_rcCorner;
  BYTE m_nDarkness = 150;
  BYTE m_nSharpness = 5;
  signed char m_nSize = 0;
  signed char m_nxOffset = 5, m_nyOffset = 5;
  DWORD m_Color = 0;
  LPARAM m_WndSize = 0;
  int m_bUpdate = 0;
  int m_bShow = 0;
  int m_bDisabled = 0;
  WNDPROC m_OriParentProc = nullptr;
  HWND m_hOwner = nullptr;
};

}  // namespace VELO
