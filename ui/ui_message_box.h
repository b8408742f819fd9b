// CUIMessageBox: the program's own skinned, modal message box. A title line,
// a centred message that wraps, and one OK button (style 0), YES and NO
// (style 4) or no button at all (any other style).
#pragma once

#include <windows.h>

#include "velo/core/cstring.h"
#include "velo/core/mdialog.h"

namespace ostrel::ui {

inline constexpr UINT kMessageTitleId = 31;
inline constexpr UINT kMessageTextId = 32;
inline constexpr UINT kMessageOkId = 33;  // OK and YES
inline constexpr UINT kMessageNoId = 34;

class CUIMessageBox : public VELO::MDialog {
 public:
  CUIMessageBox();
  ~CUIMessageBox() override = default;

  BOOL OnInitDialog() override;
  void InitUI(VELO::CRect client) override;
  void UISize(VELO::CRect client) override;
  LRESULT OnMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam) override;
  int OnDestroy() override;

  void SetTitle(const wchar_t* title) { m_title = title; }
  void SetText(const wchar_t* text) { m_text = text; }
  void SetStyle(int style) noexcept { m_style = style; }

 private:
  VELO::CString m_title;
  VELO::CString m_text;
  int m_style = 0;
};

// Shows the box centred on the screen, topmost, and waits for the answer:
// 1 after OK or YES, 2 after NO, what the modal loop gives when the box is
// closed another way. Null texts count as empty.
UINT ShowMessageBox(const wchar_t* text, const wchar_t* title, int style);

}  // namespace ostrel::ui
