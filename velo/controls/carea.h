// CArea: a translucent coloured panel, faded from one transparency to
// another along its height (or width), or opaque with an optional frame.
#pragma once

#include "velo/core/mcontrol.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

namespace VELO {

class VELO_API CArea : public MControl {
 public:
  CArea(MObject* owner, UINT id, CRect rc, BOOL visible, BOOL enabled);

  const wchar_t* GetClassNameW() const override { return L"CArea"; }
  void DrawControl(HDC& dc, CRect paintRect) override;

  void SetTransparent(int from, int to, COLORREF color);
  void SetFrame(BOOL frame, Gdiplus::Color color, int unused);
  void SetDirection(int vertical) noexcept { m_nDirection = vertical ? 1 : 0; }

 private:
  void Repaint();

  int m_nDirection = 1;
  int m_nFrom = 80;
  int m_nTo = 80;
  COLORREF m_crColor = 0x00FFFFFF;
  int m_bFrame = 0;
  Gdiplus::Color m_frameColor{0xFE050505};
};

}  // namespace VELO
