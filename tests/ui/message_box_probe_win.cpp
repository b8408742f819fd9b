// Shows one message box the way the program does and exits with its answer.
//
//   message_box_probe.exe <style> <text...>
#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "ui/ui_message_box.h"
#include "velo/core/manager.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ULONG_PTR token = 0;
  const Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  VELO::Manager::SetInstance(instance);
  int count = 0;
  wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  const int style = count > 1 ? static_cast<int>(std::wcstol(args[1], nullptr, 10)) : 0;
  std::wstring text;
  for (int i = 2; i < count; ++i) text += (i > 2 ? L" " : L"") + std::wstring(args[i]);
  ::LocalFree(args);
  const UINT answer = ostrel::ui::ShowMessageBox(text.c_str(), L"Software Updates", style);
  Gdiplus::GdiplusShutdown(token);
  return static_cast<int>(answer);
}
