// The message box as the program shows it, in a process of its own: which
// buttons each style draws (on the screen's pixels), what a click on each
// answers, and that a long text wraps inside the message area.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/app/ostrel_run_win.h"
#include "ui/panel_layout.h"

namespace ostrel::ui {
namespace {

using namespace app::testing;

class MessageBoxRun {
 public:
  MessageBoxRun(int style, const std::wstring& text, const std::string& name) {
    folder_ = ExecutableFolder() / "message-box" / name;
    fs::remove_all(folder_);
    CopyTree(BuildFolder() / "bin", folder_);
    ::CopyFileW((ExecutableFolder() / "message_box_probe.exe").wstring().c_str(),
                (folder_ / "message_box_probe.exe").wstring().c_str(), FALSE);
    process_ = ChildProcess(folder_ / "message_box_probe.exe", std::to_wstring(style) + L" " + text);
    WaitFor([&] { return (box_ = FindProcessWindow(process_.Id(), L"MessageBox")) != nullptr; }, 15s);
    // Let the first layered update reach the screen.
    std::this_thread::sleep_for(400ms);
  }

  HWND Box() const { return box_; }
  const ChildProcess& Process() const { return process_; }

  void Click(int x, int y) const { ClickInWindow(box_, x, y); }

 private:
  fs::path folder_;
  ChildProcess process_;
  HWND box_ = nullptr;
};

RECT R(const Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

TEST(UiMessageBox, StylesDrawTheirButtonsAndClicksAnswerOneOrTwo) {
  const MessageBoxLayout layout = LayOutMessageBox({0, 0, kMessageBoxWidth, kMessageBoxHeight});
  const RECT gap{layout.yes.right + 5, layout.ok.top, layout.no.left - 5, layout.ok.bottom};
  const RECT above_buttons{20, 135, 360, 155};

  // Style 1: the texts and no button; it can only be closed another way.
  MessageBoxRun none(1, L"Nothing to press", "none");
  ASSERT_NE(none.Box(), nullptr);
  RECT rect{};
  ::GetWindowRect(none.Box(), &rect);
  EXPECT_EQ(rect.right - rect.left, kMessageBoxWidth);
  EXPECT_EQ(rect.bottom - rect.top, kMessageBoxHeight);
  const int screen_w = ::GetSystemMetrics(SM_CXSCREEN);
  const int screen_h = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(rect.left + rect.right, screen_w, 2) << "centred";
  EXPECT_NEAR(rect.top + rect.bottom, screen_h, 2) << "centred";
  EXPECT_TRUE(::GetWindowLongPtrW(none.Box(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  const Shot plain = GrabWindow(none.Box());
  none.Click(190, 175);
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(none.Process().Running()) << "style 1 has nothing to click";
  ::PostMessageW(none.Box(), WM_CLOSE, 0, 0);
  EXPECT_EQ(none.Process().WaitExit(10s), 0u) << "closed by the system: 0";

  MessageBoxRun ok(0, L"Nothing to press", "ok");
  ASSERT_NE(ok.Box(), nullptr);
  const Shot with_ok = GrabWindow(ok.Box());
  EXPECT_GT(CountDiffering(with_ok, plain, R(layout.ok)), layout.ok.Width() * layout.ok.Height() / 3)
      << "style 0 draws its OK button";
  EXPECT_EQ(CountDiffering(with_ok, plain, above_buttons), 0);
  ok.Click(190, 175);
  EXPECT_EQ(ok.Process().WaitExit(10s), 1u) << "OK answers 1";

  MessageBoxRun yes(4, L"Nothing to press", "yes");
  ASSERT_NE(yes.Box(), nullptr);
  const Shot with_yes_no = GrabWindow(yes.Box());
  EXPECT_GT(CountDiffering(with_yes_no, plain, R(layout.yes)), layout.yes.Width() * layout.yes.Height() / 3);
  EXPECT_GT(CountDiffering(with_yes_no, plain, R(layout.no)), layout.no.Width() * layout.no.Height() / 3);
  EXPECT_EQ(CountDiffering(with_yes_no, plain, gap), 0) << "two buttons, apart";
  EXPECT_GT(CountDiffering(with_yes_no, with_ok, gap), 0) << "not the single OK button";
  yes.Click(120, 175);
  EXPECT_EQ(yes.Process().WaitExit(10s), 1u) << "YES answers 1";

  MessageBoxRun no(4, L"Nothing to press", "no");
  ASSERT_NE(no.Box(), nullptr);
  no.Click(260, 175);
  EXPECT_EQ(no.Process().WaitExit(10s), 2u) << "NO answers 2";
}

TEST(UiMessageBox, LongTextWrapsInsideTheMessageArea) {
  MessageBoxRun empty(1, L"", "empty");
  ASSERT_NE(empty.Box(), nullptr);
  const Shot blank = GrabWindow(empty.Box());
  ::PostMessageW(empty.Box(), WM_CLOSE, 0, 0);
  empty.Process().WaitExit(10s);

  MessageBoxRun one(1, L"Short", "short");
  ASSERT_NE(one.Box(), nullptr);
  const Shot short_text = GrabWindow(one.Box());
  ::PostMessageW(one.Box(), WM_CLOSE, 0, 0);
  one.Process().WaitExit(10s);

  MessageBoxRun wrapped(
      1,
      L"Detected the latest version:v1.0.1.2, update now? The download replaces the program "
      L"in its data folder and starts it",
      "long");
  ASSERT_NE(wrapped.Box(), nullptr);
  const Shot long_text = GrabWindow(wrapped.Box());
  ::PostMessageW(wrapped.Box(), WM_CLOSE, 0, 0);
  wrapped.Process().WaitExit(10s);

  const auto rows_with_text = [&](const Shot& shot) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < kMessageBoxHeight; ++y) {
      if (CountDiffering(shot, blank, RECT{0, y, kMessageBoxWidth, y + 1}) > 0) {
        if (first < 0) first = y;
        last = y;
      }
    }
    return std::pair{first, last};
  };
  const auto [short_top, short_bottom] = rows_with_text(short_text);
  const auto [long_top, long_bottom] = rows_with_text(long_text);
  ASSERT_GE(short_top, 0) << "the message is drawn";
  ASSERT_GE(long_top, 0);
  EXPECT_GT(long_bottom - long_top, 2 * (short_bottom - short_top)) << "more than one line";
  // Everything stays in the message rectangle (20, 70, 360, 130), and both
  // texts are centred on its middle row.
  EXPECT_GE(long_top, 70);
  EXPECT_LT(long_bottom, 130);
  EXPECT_EQ(CountDiffering(long_text, blank, RECT{0, 0, 20, kMessageBoxHeight}), 0);
  EXPECT_EQ(CountDiffering(long_text, blank, RECT{360, 0, kMessageBoxWidth, kMessageBoxHeight}), 0);
  EXPECT_NEAR((long_top + long_bottom) / 2, 100, 8);
  EXPECT_NEAR((short_top + short_bottom) / 2, 100, 8);
}

}  // namespace
}  // namespace ostrel::ui
