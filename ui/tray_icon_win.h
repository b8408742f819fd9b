// The program's icon in the notification area and its right-click menu.
#pragma once

#include <windows.h>
// After windows.h, whatever include sorting would prefer.
#include <shellapi.h>

#include <string>

#include "common/win/unique_any.h"
#include "ui/menu_text.h"

namespace ostrel::ui {

inline constexpr UINT MSG_TRAY_CALLBACK = 0x69A;
inline constexpr UINT kTrayIconId = 109;

class TrayIcon {
 public:
  TrayIcon() noexcept;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Loads the skin's "Ostrel.ico" afresh and puts the icon up with the
  // current tip ("TEMP" until SetTip), callbacks to `window` as MSG_TRAY_CALLBACK. An icon file that cannot
  // be loaded still adds an entry, without an image, which counts as not up.
  void Add(HWND window) noexcept;
  // Takes the icon down if it is up.
  void Remove() noexcept;
  bool IsUp() const noexcept { return data_.hIcon != nullptr; }
  // Kept for every later Add; an icon that is up shows it at once.
  void SetTip(const std::wstring& tip) noexcept;

 private:
  NOTIFYICONDATAW data_{};
  win::unique_hicon icon_;
};

// TrayMenu's lines at the cursor; the chosen command reaches `owner` as
// WM_COMMAND.
void ShowTrayMenu(HWND owner, int device_count) noexcept;

// The message Explorer broadcasts when it starts again (the tray is empty
// then).
UINT TaskbarCreatedMessage() noexcept;

}  // namespace ostrel::ui
