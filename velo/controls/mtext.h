// MText: a caption, on one line (cut at the right edge) or wrapped, over
// what lies beneath or over a filled background.
#pragma once

#include "velo/controls/mcontrol_font.h"

namespace VELO {

class VELO_API MText : public MControlFont {
 public:
  MText(MObject* owner, UINT id, CRect rc, const wchar_t* text, BOOL visible);

  const wchar_t* GetClassNameW() const override { return L"MText"; }
  LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
  void DrawControl(HDC& dc, CRect paintRect) override;
  LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
  void SetControlRect(CRect rc) override;
  int OnControlScroll(int delta, UINT keys, CPoint pt) override;

  void EnableMultiLine(BOOL on) noexcept { m_bMultiLine = on ? 1 : 0; }
  void EnableVCenter(BOOL on) noexcept { m_bVCenter = on ? 1 : 0; }
  void EnableShadow(BOOL on) noexcept { m_bShadow = on ? 1 : 0; }
  void EnableTextBack(BOOL on, Gdiplus::Color color);
  HRESULT SetMarkText(const wchar_t* mark);
  HRESULT SetMarkText(const wchar_t* mark, Gdiplus::Color color, int flag);
  HRESULT SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color color, int flag);
  HRESULT SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int flag);
  int GetVirtualHeight() const noexcept { return 0; }
  void SetScrollBar(BOOL on, int width) noexcept {
    m_bScrollBar = on ? 1 : 0;
    m_nScrollBarWidth = width;
  }

 private:
  void Repaint();

  int m_bShadow = 0;
  int m_bScrollBar = 0;
  int m_nScrollBarWidth = 8;
  int m_bTextBack = 0;
  Gdiplus::Color m_backColor{0xFF008000};
  Gdiplus::Color m_secondColor{0xFF505050};
  Gdiplus::Color m_markColor{0xFFED801B};
  CString m_strMark;
  int m_nMarkFlag = 0;
  int m_bMultiLine = 0;
  int m_bVCenter = 0;
};

}  // namespace VELO
