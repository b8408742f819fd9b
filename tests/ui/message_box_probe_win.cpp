// Shows one message box the way the program does and exits with its answer.
//
//   message_box_probe.exe <style> <text>
#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <cwchar>
#include <string>

#include "ui/ui_message_box.h"
#include "velo/core/manager.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  ULONG_PTR token = 0;
  const Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  VELO::Manager::SetInstance(instance);
  wchar_t* rest = nullptr;
  const int style = static_cast<int>(std::wcstol(command_line, &rest, 10));
  while (rest && *rest == L' ') ++rest;
  const UINT answer = ostrel::ui::ShowMessageBox(rest, L"Software Updates", style);
  Gdiplus::GdiplusShutdown(token);
  return static_cast<int>(answer);
}
