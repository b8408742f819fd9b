// MControlFont: the base of every control with a caption or a skin image: a
// title, font settings, text colour and alignment, and one skin image cut
// into equal frames laid side by side. The one shared text-drawing path
// (DrawTitle) lives here, so MText and MButton draw text the same way.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <memory>

#include "common/win/unique_any.h"
#include "velo/core/cstring.h"
#include "velo/core/mcontrol.h"
#include "velo/core/velo_api.h"

namespace VELO {

class VELO_API MControlFont : public MControl {
 public:
  MControlFont(MObject* owner, UINT id, CRect rc, const wchar_t* title, BOOL visible, BOOL enabled,
               BOOL responds);
  ~MControlFont() override;

  virtual void SetTextFont(CString name);
  virtual void SetTextColor(Gdiplus::Color color);
  virtual BOOL SetImage(UINT id, CString type, int frames);
  virtual BOOL SetImage(const wchar_t* name, int frames);
  virtual void SetControlTitle(const wchar_t* title);
  virtual CString GetControlTitle();

  void SetTitle(const wchar_t* title);
  CString GetTitle() { return GetControlTitle(); }
  void SetAlignment(UINT h);
  void SetVAlignment(UINT v);
  void SetAlignment(UINT h, UINT v);
  void GetAlignment(UINT& h, UINT& v) const noexcept {
    h = m_uAlign;
    v = m_uVAlign;
  }
  void SetFont(const wchar_t* name, int size, Gdiplus::FontStyle style);
  void SetFontStyle(int style) noexcept { m_nFontStyle = style; }
  int GetFontStyle() const noexcept { return m_nFontStyle; }
  void SetFontWidth(int size) noexcept { m_nFontSize = size; }
  int GetFontWidth() const noexcept { return m_nFontSize; }
  void SetTextRenderingHint(Gdiplus::TextRenderingHint hint) noexcept { m_renderingHint = hint; }
  void SetImageCount(int count) noexcept { m_nFrameCount = count; }
  void GetImageSize(int& w, int& h) const noexcept {
    w = m_nFrameWidth;
    h = m_nFrameHeight;
  }
  CString GetImagePath() const { return m_strImagePath; }
  CString GetTextFont() const { return m_strFontName; }
  Gdiplus::Color GetTextColor() const noexcept { return m_textColor; }
  Gdiplus::Image* GetImage() const noexcept { return m_pImage; }
  int GetImageCount() const noexcept { return m_nFrameCount; }

  // A clone of the window's family for the global face; null without a
  // paint manager or when the face is not installed.
  Gdiplus::FontFamily* GetFontFamily(const wchar_t* name);
  HFONT GetGDIFont();
  void ClearGDIFont() noexcept { m_hGDIFont.reset(); }

 protected:
  // The shared text path: `text` in the control's font, size scaled by
  // Manager::m_scale_value and truncated to a whole pixel, with the given
  // colour, format flags and alignment codes (0/1/2, 0/4/8), kept inside
  // `box`.
  void DrawTitle(Gdiplus::Graphics& g, const CString& text, const Gdiplus::RectF& box, Gdiplus::Color color,
                 unsigned formatFlags, UINT hAlign, UINT vAlign);
  // Copies what is beneath the control (already drawn this frame) into the
  // control's buffer at (x, 0).
  void CopyBeneath(HDC target, int x);

  CString m_strTitle;
  CString m_strFontName;
  CString m_strImagePath;
  int m_nFontSize;
  Gdiplus::Color m_textColor{0xFFFFFFFF};
  std::unique_ptr<Gdiplus::SolidBrush> m_pTextBrush;
  std::unique_ptr<Gdiplus::FontFamily> m_pFontFamily;
  int m_nFontStyle = 0;
  UINT m_uAlign = 0;
  UINT m_uVAlign = 4;
  Gdiplus::TextRenderingHint m_renderingHint = Gdiplus::TextRenderingHintClearTypeGridFit;
  ostrel::win::unique_hfont m_hGDIFont;
  Gdiplus::Image* m_pImage = nullptr;
  int m_nFrameWidth = 0;
  int m_nFrameHeight = 0;
  int m_nFrameCount = 4;

 private:
  void RequestRepaint();
};

}  // namespace VELO
