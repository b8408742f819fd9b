// What a control does through real Win32: the thread's cursor and the
// window's update region.
#include <gtest/gtest.h>

#include <memory>

#include "common/win/unique_any.h"
#include "tests/velo/control_test_support.h"
#include "velo/paint/paint_manager.h"

using namespace velo_test;

namespace {

struct WindowDeleter {
  void operator()(HWND w) const noexcept { ::DestroyWindow(w); }
};
using unique_window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

unique_window MakeWindow() {
  static const wchar_t* kClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VeloControlTestWindow";
    ::RegisterClassW(&wc);
    return L"VeloControlTestWindow";
  }();
  HWND w = ::CreateWindowExW(0, kClass, L"test", WS_POPUP, 50, 50, 200, 150, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
  if (w) ::ShowWindow(w, SW_SHOWNOACTIVATE);
  return unique_window(w);
}

CRect UpdateRect(HWND w) {
  RECT r{};
  ::GetUpdateRect(w, &r, FALSE);
  return r;
}

TEST(ControlCursor, SetCursorExTakesTheSevenNamesAndKeepsTheCursorOtherwise) {
  EventLog log;
  TestControl c(nullptr, 1, CRect(0, 0, 10, 10), &log);
  const struct {
    const wchar_t* name;
    LPCWSTR id;
  } known[] = {{L"arrow", IDC_ARROW},   {L"wait", IDC_WAIT}, {L"cross", IDC_CROSS}, {L"sizewe", IDC_SIZEWE},
               {L"sizens", IDC_SIZENS}, {L"hand", IDC_HAND}, {L"help", IDC_HELP}};
  for (const auto& k : known) {
    EXPECT_EQ(c.SetCursorEx(k.name), 0);
    EXPECT_EQ(c.GetControlCursor(), ::LoadCursorW(nullptr, k.id)) << static_cast<const void*>(k.name);
    EXPECT_NE(c.GetControlCursor(), nullptr);
  }
  c.SetCursorEx(L"hand");
  for (const wchar_t* unknown : {L"HAND", L"pointer", L"", L"hand ", static_cast<const wchar_t*>(nullptr)}) {
    EXPECT_EQ(c.SetCursorEx(unknown), 0);
    EXPECT_EQ(c.GetControlCursor(), ::LoadCursorW(nullptr, IDC_HAND));
  }
}

TEST(ControlCursor, MovingOverTheControlSetsTheThreadCursor) {
  unique_window window = MakeWindow();
  ASSERT_TRUE(window);
  EventLog log;
  TestControl c(nullptr, 1, CRect(10, 10, 60, 60), &log);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);

  ::SetCursor(arrow);
  c.OnMouseMove(0, CPoint(20, 20));  // no cursor set: left alone
  EXPECT_EQ(::GetCursor(), arrow);

  c.SetCursorEx(L"cross");
  c.OnMouseMove(0, CPoint(20, 20));
  EXPECT_EQ(::GetCursor(), cross);

  ::SetCursor(arrow);
  EXPECT_EQ(c.OnControlSetCursor(0, CPoint(100, 100)), 0);
  c.OnMouseMove(0, CPoint(100, 100));
  EXPECT_EQ(::GetCursor(), arrow);
  EXPECT_EQ(c.OnControlSetCursor(0, CPoint(59, 59)), 1);
  EXPECT_EQ(::GetCursor(), cross);
}

TEST(ControlInvalidate, ItsOwnRectangleOrTheWholeLayeredWindow) {
  unique_window window = MakeWindow();
  ASSERT_TRUE(window);
  EventLog log;
  VELO::PaintManager manager;
  TestControl c(nullptr, 1, CRect(10, 20, 30, 40), &log);

  c.InvalidateRect(nullptr, FALSE);  // no paint manager yet: nothing, no crash
  c.SetManager(&manager);
  ::ValidateRect(window.get(), nullptr);
  c.InvalidateRect(nullptr, FALSE);  // manager not bound to a window: nothing
  EXPECT_TRUE(UpdateRect(window.get()).IsRectEmpty());

  manager.Init(nullptr, nullptr);  // ignored
  EXPECT_EQ(manager.IsInitialized(), 0);
  manager.Init(window.get(), nullptr);
  EXPECT_EQ(manager.GetPaintWnd(), window.get());
  c.InvalidateRect(nullptr, FALSE);
  EXPECT_EQ(UpdateRect(window.get()), CRect(10, 20, 30, 40));

  ::ValidateRect(window.get(), nullptr);
  manager.SetLayeredWindow(TRUE);
  c.InvalidateRect(nullptr, FALSE);
  CRect client;
  ::GetClientRect(window.get(), &client);
  EXPECT_EQ(UpdateRect(window.get()), client);

  window.reset();
  c.InvalidateRect(nullptr, FALSE);  // dead window: nothing, no crash
}

}  // namespace
