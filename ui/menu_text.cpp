#include "ui/menu_text.h"

namespace ostrel::ui {

std::wstring TrayTip(bool cpu_sensor_missing) {
  return cpu_sensor_missing ? L"TEMP\nNo CPU temperature sensor" : L"TEMP";
}

std::wstring DeviceLine(int device_count) { return std::to_wstring(device_count) + L" Device"; }

std::vector<MenuLine> TrayMenu(int device_count) {
  return {{ID_TRAY_VERSION, kVersionLine},
          {ID_TRAY_DEVICES, DeviceLine(device_count)},
          {ID_TRAY_EXIT, kExitLine}};
}

UpdatePrompt MakeUpdatePrompt(UpdateChannel channel, bool newer, const std::wstring& latest_version) {
  const bool software = channel == UpdateChannel::Software;
  UpdatePrompt prompt;
  prompt.title = software ? L"Software Updates" : L"Firmware Updates";
  if (!newer) {
    prompt.text = software ? L"The software is the latest version!" : L"The Firmware is the latest version!";
    prompt.style = 0;
  } else {
    prompt.text = L"Detected the latest version:v" + latest_version + L", update now?";
    prompt.style = 4;
  }
  return prompt;
}

UpdatePrompt MakeRefusedNotice(UpdateChannel channel) {
  UpdatePrompt notice;
  notice.title = channel == UpdateChannel::Software ? L"Software Updates" : L"Firmware Updates";
  notice.text = L"The update could not be verified and was not installed!";
  notice.style = 0;
  return notice;
}

}  // namespace ostrel::ui
