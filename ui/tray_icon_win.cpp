#include "ui/tray_icon_win.h"

#include <iterator>

#include "common/swallowed_failure.h"
#include "ui/menu_text.h"
#include "velo/core/manager.h"
#include "velo/render/mrender.h"

namespace ostrel::ui {

TrayIcon::TrayIcon() noexcept {
  // The record's own size on this platform: the shell tells the record's
  // layout from it, and the 32-bit size would mislead it on x64.
  data_.cbSize = sizeof data_;
  SetTip(L"TEMP");
}

void TrayIcon::SetTip(const std::wstring& tip) noexcept {
  ::lstrcpynW(data_.szTip, tip.c_str(), static_cast<int>(std::size(data_.szTip)));
  if (!IsUp()) return;
  NOTIFYICONDATAW change = data_;
  change.uFlags = NIF_TIP;
  ::Shell_NotifyIconW(NIM_MODIFY, &change);
}

void TrayIcon::Add(HWND window) noexcept {
  icon_ = VELO::MRender::LoadIconFromFile(VELO::Manager::GetSkinPath() + L"Ostrel.ico");
  data_.hWnd = window;
  data_.uID = kTrayIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = MSG_TRAY_CALLBACK;
  data_.hIcon = icon_.get();
  ::Shell_NotifyIconW(NIM_ADD, &data_);
}

void TrayIcon::Remove() noexcept {
  if (!data_.hIcon) return;
  data_.hIcon = nullptr;
  ::Shell_NotifyIconW(NIM_DELETE, &data_);
  icon_.reset();
}

void ShowTrayMenu(HWND owner, int device_count) noexcept {
  const win::unique_hmenu menu(::CreatePopupMenu());
  if (!menu) return;
  try {
    for (const MenuLine& line : TrayMenu(device_count)) {
      ::AppendMenuW(menu.get(), MF_STRING, line.command, line.text.c_str());
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return;
  }
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::SetForegroundWindow(owner);
  ::TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
}

UINT TaskbarCreatedMessage() noexcept {
  static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace ostrel::ui
