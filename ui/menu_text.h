// The texts the program shows: the tray menu's lines and the update prompts.
#pragma once

#include <string>
#include <vector>

#include "ostrel_version.h"

namespace ostrel::ui {

inline constexpr wchar_t kVersionLine[] = L"Version: " OSTREL_VERSION_WIDE;
inline constexpr wchar_t kExitLine[] = L"Exit";

// The tray tip: "TEMP", with a second line while no processor temperature
// has been found, so the user hovering the icon learns why the panel shows
// "--".
std::wstring TrayTip(bool cpu_sensor_missing);

// "%d Device", without a plural form: "0 Device", "2 Device".
std::wstring DeviceLine(int device_count);

// Commands of the tray menu, as WM_COMMAND carries them.
inline constexpr unsigned ID_TRAY_EXIT = 100;
inline constexpr unsigned ID_TRAY_DEVICES = 202;
inline constexpr unsigned ID_TRAY_VERSION = 203;

struct MenuLine {
  unsigned command = 0;
  std::wstring text;
  bool operator==(const MenuLine&) const = default;
};

// The tray menu as the user sees it, top to bottom: the version, the number
// of displays found, and Exit.
std::vector<MenuLine> TrayMenu(int device_count);

enum class UpdateChannel { Software = 1, Firmware = 2 };

struct UpdatePrompt {
  std::wstring title;
  std::wstring text;
  int style = 0;  // message-box style: 0 OK, 4 YES and NO
};

// What the answer to an update check shows: "... is the latest version!"
// with OK, or the newer version offered with YES and NO.
UpdatePrompt MakeUpdatePrompt(UpdateChannel channel, bool newer, const std::wstring& latest_version);

// What the user sees, with OK, after answering YES to a package whose
// signature did not verify: nothing of it was installed.
UpdatePrompt MakeRefusedNotice(UpdateChannel channel);

}  // namespace ostrel::ui
