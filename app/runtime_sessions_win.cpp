#include "app/runtime_sessions_win.h"

#include <windows.h>
// After windows.h, whatever include sorting would prefer.
#include <ole2.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

namespace ostrel::app {

GdiplusSession::GdiplusSession() noexcept {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

ComOleSession::ComOleSession() noexcept
    : com_(SUCCEEDED(::CoInitialize(nullptr))), ole_(SUCCEEDED(::OleInitialize(nullptr))) {}

ComOleSession::~ComOleSession() {
  if (ole_) ::OleUninitialize();
  if (com_) ::CoUninitialize();
}

}  // namespace ostrel::app
