#include "ui/ui_message_box.h"

#include <memory>

#include "ui/panel_layout.h"
#include "velo/controls/mbutton.h"
#include "velo/controls/mtext.h"

namespace ostrel::ui {
namespace {

constexpr DWORD kPopupStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kNotifyClick = 2;
const Gdiplus::Color kWhite(0xFF, 0xFF, 0xFF, 0xFF);

VELO::CRect ToRect(const Box& box) { return VELO::CRect(box.left, box.top, box.right, box.bottom); }

Box ToBox(const VELO::CRect& rc) {
  return {static_cast<int>(rc.left), static_cast<int>(rc.top), static_cast<int>(rc.right),
          static_cast<int>(rc.bottom)};
}

}  // namespace

// The box has no skin image of its own: its plain fill is dark, in the
// panel's colours, so that the white texts stand out.
CUIMessageBox::CUIMessageBox() { m_pm.SetBackColor(RGB(0x1E, 0x24, 0x2E), RGB(0x4A, 0x55, 0x66)); }

BOOL CUIMessageBox::OnInitDialog() {
  MDialog::OnInitDialog();
  SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return TRUE;
}

void CUIMessageBox::InitUI(VELO::CRect client) {
  SetLayeredWindow(TRUE);
  const MessageBoxLayout layout = LayOutMessageBox(ToBox(client));

  if (auto* title = dynamic_cast<VELO::MText*>(
          CreateArea(L"MText", kMessageTitleId, ToRect(layout.title), m_title, TRUE, TRUE))) {
    title->SetAlignment(1);
    title->SetTextColor(kWhite);
  }
  if (auto* message = dynamic_cast<VELO::MText*>(
          CreateArea(L"MText", kMessageTextId, ToRect(layout.message), m_text, TRUE, TRUE))) {
    message->SetVAlignment(4);
    message->SetAlignment(1);
    message->EnableMultiLine(TRUE);
    message->EnableVCenter(TRUE);
    message->SetTextColor(kWhite);
  }

  const auto add_button = [this](UINT id, const Box& box, const wchar_t* text) {
    if (auto* button =
            dynamic_cast<VELO::MButton*>(CreateControl(L"MButton", id, ToRect(box), text, TRUE, TRUE))) {
      button->SetImage(L"img_button.png", 4);
      button->SetTextColor(kWhite);
    }
  };
  if (m_style == 0) {
    add_button(kMessageOkId, layout.ok, L"OK");
  } else if (m_style == 4) {
    add_button(kMessageOkId, layout.yes, L"YES");
    add_button(kMessageNoId, layout.no, L"NO");
  }
}

void CUIMessageBox::UISize(VELO::CRect) {}

LRESULT CUIMessageBox::OnMessage(UINT controlId, UINT code, WPARAM, LPARAM) {
  if (code != kNotifyClick) return 0;
  if (controlId == kMessageOkId) {
    DoOK();
    return 1;
  }
  if (controlId == kMessageNoId) {
    DoCancel();
    return 1;
  }
  return 0;
}

int CUIMessageBox::OnDestroy() { return 0; }

UINT ShowMessageBox(const wchar_t* text, const wchar_t* title, int style) {
  auto box = std::make_unique<CUIMessageBox>();
  box->SetTitle(title ? title : L"");
  box->SetText(text ? text : L"");
  box->SetBackMode(VELO::BACK_FRAME, 30);
  box->SetStyle(style);
  box->Create(nullptr, L"MessageBox", kPopupStyle, WS_EX_TOOLWINDOW,
              VELO::CRect(0, 0, kMessageBoxWidth, kMessageBoxHeight));
  box->CenterWindow();
  const UINT result = box->ShowModal(SW_SHOWNORMAL);
  box->DestroyWindow();
  return result;
}

}  // namespace ostrel::ui
