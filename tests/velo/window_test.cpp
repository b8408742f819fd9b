#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "velo/core/manager.h"
#include "velo/core/mwindow.h"

using VELO::CRect;
using VELO::CString;
using VELO::MWindow;

namespace {

constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kConsumed = WM_APP + 2;
constexpr UINT kThrow = WM_APP + 3;

// Records what the binding delivers.
class RecordingWindow : public MWindow {
 public:
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_NCCREATE) handleAtNcCreate = m_hWnd;
    if (msg == WM_NCDESTROY) sawNcDestroy = true;
    if (msg == WM_DESTROY) ownerEnabledAtDestroy = owner && ::IsWindowEnabled(owner);
    if (msg == kProbe) {
      ++probes;
      ownerEnabledInLoop = owner && ::IsWindowEnabled(owner);
    }
    if (msg == kConsumed) ++consumedSeen;
    if (msg == kThrow) throw std::runtime_error("handler failed");
    return MWindow::OnWindowMessage(msg, wParam, lParam);
  }
  BOOL PreTranslateMessage(MSG* msg) override { return msg->message == kConsumed; }
  BOOL OnInitDialog() override {
    ++initCalls;
    return TRUE;
  }
  void OnDestroyMessage(HWND hwnd) override {
    destroyedHwnd = hwnd;
    handleAtDestroy = m_hWnd;
  }

  HWND owner = nullptr;
  HWND handleAtNcCreate = nullptr;
  HWND destroyedHwnd = nullptr;
  HWND handleAtDestroy = reinterpret_cast<HWND>(1);
  int initCalls = 0;
  int probes = 0;
  int consumedSeen = 0;
  bool sawNcDestroy = false;
  bool ownerEnabledInLoop = true;
  bool ownerEnabledAtDestroy = false;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VELO::Manager::SetInstance(::GetModuleHandleW(nullptr));
    MSG stale;
    while (::PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // A pop-up, optionally owned, shown without activation: under Wine
  // without a window manager, destroying an activated window waits 2 s for
  // a manager that never answers.
  static HWND MakePopup(MWindow& w, HWND owner = nullptr, CRect rc = CRect(100, 100, 300, 250)) {
    const HWND hwnd = w.Create(owner, L"test", WS_POPUP, 0, rc);
    if (hwnd) ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
  }
};

int CountThreadWindowsOfClass(const wchar_t* className) {
  struct Search {
    const wchar_t* name;
    int count;
  } search{className, 0};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t name[64] = {};
        ::GetClassNameW(hwnd, name, 64);
        if (::lstrcmpW(name, s->name) == 0) ++s->count;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.count;
}

}  // namespace

TEST_F(WindowTest, ShowModalReturnsTheWParamOfAPostedClose) {
  for (const WPARAM answer : {WPARAM{IDOK}, WPARAM{IDYES}, WPARAM{7}}) {
    RecordingWindow w;
    const HWND hwnd = MakePopup(w);
    ASSERT_NE(hwnd, nullptr);
    ::PostMessageW(hwnd, WM_CLOSE, answer, 0);
    EXPECT_EQ(w.ShowModal(SW_SHOWNOACTIVATE), answer);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
  }
}

TEST_F(WindowTest, SystemCloseMakesShowModalReturnZero) {
  RecordingWindow w;
  const HWND hwnd = MakePopup(w);
  ::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(w.ShowModal(SW_SHOWNOACTIVATE), 0u);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(WindowTest, OwnerIsDisabledDuringTheLoopAndEnabledBeforeTheWindowGoes) {
  MWindow owner;
  const HWND ownerHwnd = MakePopup(owner, nullptr, CRect(0, 0, 50, 50));
  RecordingWindow w;
  w.owner = ownerHwnd;
  const HWND hwnd = MakePopup(w, ownerHwnd);
  ASSERT_EQ(::GetWindow(hwnd, GW_OWNER), ownerHwnd);
  ::PostMessageW(hwnd, kProbe, 0, 0);
  ::PostMessageW(hwnd, WM_CLOSE, IDCANCEL, 0);
  EXPECT_EQ(w.ShowModal(SW_SHOWNOACTIVATE), static_cast<UINT>(IDCANCEL));
  EXPECT_EQ(w.probes, 1);
  EXPECT_FALSE(w.ownerEnabledInLoop);
  EXPECT_TRUE(w.ownerEnabledAtDestroy);
  EXPECT_TRUE(::IsWindowEnabled(ownerHwnd));
  owner.DestroyWindow();
}

TEST_F(WindowTest, QuitEndsTheLoopReenablesTheOwnerAndIsPostedAgain) {
  MWindow owner;
  const HWND ownerHwnd = MakePopup(owner, nullptr, CRect(0, 0, 50, 50));
  RecordingWindow w;
  const HWND hwnd = MakePopup(w, ownerHwnd);
  ::PostQuitMessage(42);
  EXPECT_EQ(w.ShowModal(SW_SHOWNOACTIVATE), 0u);
  // The window stays; the outer loop gets the quit.
  EXPECT_TRUE(::IsWindow(hwnd));
  EXPECT_TRUE(::IsWindowEnabled(ownerHwnd));
  MSG msg{};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 42u);
  w.DestroyWindow();
  owner.DestroyWindow();
}

TEST_F(WindowTest, ConsumedMessagesAreNotDispatched) {
  RecordingWindow w;
  const HWND hwnd = MakePopup(w);
  ::PostMessageW(hwnd, kConsumed, 0, 0);
  ::PostMessageW(hwnd, kProbe, 0, 0);
  ::PostMessageW(hwnd, WM_CLOSE, 1, 0);
  EXPECT_EQ(w.ShowModal(SW_SHOWNOACTIVATE), 1u);
  EXPECT_EQ(w.consumedSeen, 0);
  EXPECT_EQ(w.probes, 1);
}

TEST_F(WindowTest, ShowModalWithoutAWindowShowsNothing) {
  MWindow never;
  EXPECT_EQ(never.ShowModal(SW_SHOWNOACTIVATE), 0xFFFFFFFFu);
}

TEST_F(WindowTest, SecondCreateReturnsTheSameHandleAndCreatesNothing) {
  RecordingWindow w;
  const HWND first = MakePopup(w);
  ASSERT_NE(first, nullptr);
  const int windows = CountThreadWindowsOfClass(L"VELOWindow");
  EXPECT_EQ(MakePopup(w, nullptr, CRect(0, 0, 10, 10)), first);
  EXPECT_EQ(w.Create(nullptr), first);
  EXPECT_EQ(CountThreadWindowsOfClass(L"VELOWindow"), windows);
  EXPECT_EQ(w.initCalls, 1);
  CRect rc;
  w.GetWindowRect(&rc);
  EXPECT_EQ(rc, CRect(100, 100, 300, 250));
  // Destroyed, the same object makes a new window.
  w.DestroyWindow();
  const HWND second = MakePopup(w);
  EXPECT_NE(second, nullptr);
  EXPECT_TRUE(::IsWindow(second));
  EXPECT_EQ(w.initCalls, 2);
  w.DestroyWindow();
}

TEST_F(WindowTest, ShortFormsUseTheDefaults) {
  MWindow w;
  const HWND hwnd = w.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  CString title;
  EXPECT_EQ(w.GetWindowTextW(title), 7);
  EXPECT_EQ(title, L"MWindow");
  CRect rc;
  w.GetWindowRect(&rc);
  EXPECT_EQ(rc, CRect(0, 0, 800, 600));
  wchar_t name[32] = {};
  ::GetClassNameW(hwnd, name, 32);
  EXPECT_STREQ(name, L"VELOWindow");
  EXPECT_EQ(::GetClassLongW(hwnd, GCL_STYLE), static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
  w.DestroyWindow();
}

TEST_F(WindowTest, BindingHoldsTheWholePointerOfAHighObject) {
  // An object above 4 GiB: a binding through a 32-bit slot would lose the
  // upper half and route the messages to a wrong address.
  void* memory = ::VirtualAlloc(nullptr, sizeof(RecordingWindow), MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN,
                                PAGE_READWRITE);
  ASSERT_NE(memory, nullptr);
  ASSERT_GT(reinterpret_cast<uintptr_t>(memory), uintptr_t{0xFFFFFFFFu});
  auto* w = new (memory) RecordingWindow;
  const HWND hwnd = MakePopup(*w);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(w->handleAtNcCreate, hwnd);
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(w));
  ::SendMessageW(hwnd, kProbe, 0, 0);
  EXPECT_EQ(w->probes, 1);
  w->DestroyWindow();
  w->~RecordingWindow();
  ::VirtualFree(memory, 0, MEM_RELEASE);
}

TEST_F(WindowTest, NcDestroyUnbindsBeforeTheHook) {
  RecordingWindow w;
  const HWND hwnd = MakePopup(w);
  ::DestroyWindow(hwnd);
  EXPECT_FALSE(w.sawNcDestroy);
  EXPECT_EQ(w.destroyedHwnd, hwnd);
  EXPECT_EQ(w.handleAtDestroy, nullptr);
}

TEST_F(WindowTest, ForwardsFailAfterNcDestroy) {
  RecordingWindow w;
  MWindow parent;
  const HWND parentHwnd = MakePopup(parent);
  const HWND hwnd = w.Create(parentHwnd, L"gone", WS_POPUP, 0, CRect(0, 0, 50, 50));
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(w.GetParentHwnd(), parentHwnd);
  EXPECT_EQ(w.GetWindowTextLengthW(), 4);
  MWindow copy(w);  // shares the handle, not the binding
  EXPECT_EQ(copy.GetSafeHwnd(), hwnd);
  ASSERT_TRUE(w.DestroyWindow());

  for (MWindow* m : {static_cast<MWindow*>(&w), &copy}) {
    CRect rc(1, 2, 3, 4);
    POINT pt{5, 6};
    CString text(L"left");
    EXPECT_EQ(m->GetSafeHwnd(), nullptr);
    EXPECT_EQ(m->GetParentHwnd(), nullptr);
    EXPECT_FALSE(m->GetClientRect(&rc));
    EXPECT_FALSE(m->GetWindowRect(&rc));
    EXPECT_FALSE(m->SetWindowTextW(L"x"));
    EXPECT_EQ(m->GetWindowTextW(text), 0);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(m->GetWindowTextLengthW(), -1);
    EXPECT_FALSE(m->EnableWindow(TRUE));
    EXPECT_FALSE(m->IsWindowEnabled());
    EXPECT_FALSE(m->IsWindowVisible());
    EXPECT_FALSE(m->IsIconic());
    EXPECT_FALSE(m->InvalidateRect(CRect(0, 0, 1, 1), FALSE));
    EXPECT_EQ(m->SetCapture(), nullptr);
    EXPECT_FALSE(m->ReleaseCapture());
    EXPECT_EQ(m->SetFocus(), nullptr);
    EXPECT_EQ(m->SetTimer(1, 100), 0u);
    EXPECT_FALSE(m->KillTimer(1));
    EXPECT_FALSE(m->ClientToScreen(&pt));
    EXPECT_FALSE(m->ClientToScreen(&rc));
    EXPECT_FALSE(m->ScreenToClient(&pt));
    EXPECT_FALSE(m->ScreenToClient(&rc));
    EXPECT_FALSE(m->SetWindowPos(nullptr, 0, 0, 1, 1, 0));
    EXPECT_FALSE(m->MoveWindow(0, 0, 1, 1));
    EXPECT_FALSE(m->MoveWindow(&rc));
    EXPECT_FALSE(m->DestroyWindow());
    EXPECT_EQ(rc, CRect(1, 2, 3, 4));
    EXPECT_EQ(pt.x, 5);
  }
  // Only the bound object lost its handle; the copy's stale one fails the
  // checks of the forwards that only test for null and -1.
  EXPECT_EQ(w.GetStyle(), 0u);
  EXPECT_EQ(w.GetExStyle(), 0u);
  EXPECT_FALSE(w.ModifyStyle(0, WS_DISABLED));
  EXPECT_FALSE(w.ModifyExStyle(0, WS_EX_TOPMOST));
  EXPECT_EQ(w.SendMessageW(WM_GETTEXTLENGTH), 0);
  EXPECT_FALSE(w.PostMessageW(kProbe));
  EXPECT_FALSE(w.ShowWindow(SW_SHOW));
  EXPECT_FALSE(copy.PostMessageW(kProbe));
  parent.DestroyWindow();
}

TEST_F(WindowTest, ForwardsReachTheLiveWindow) {
  MWindow w;
  const HWND hwnd = MakePopup(w);
  EXPECT_TRUE(w.SetWindowTextW(L"Ostrel TEMP"));
  CString text;
  EXPECT_EQ(w.GetWindowTextW(text), 11);
  EXPECT_EQ(text, L"Ostrel TEMP");
  EXPECT_FALSE(w.ModifyStyle(0, WS_POPUP));
  EXPECT_TRUE(w.ModifyExStyle(0, WS_EX_TOOLWINDOW, SWP_FRAMECHANGED));
  EXPECT_TRUE(w.GetExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(w.ModifyStyle(WS_VISIBLE, 0));
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  EXPECT_TRUE(w.MoveWindow(10, 20, 30, 40, FALSE));
  CRect rc;
  ASSERT_TRUE(w.GetWindowRect(&rc));
  EXPECT_EQ(rc, CRect(10, 20, 40, 60));
  CRect corners(0, 0, 5, 5);
  ASSERT_TRUE(w.ClientToScreen(&corners));
  EXPECT_EQ(corners, CRect(10, 20, 15, 25));
  ASSERT_TRUE(w.ScreenToClient(&corners));
  EXPECT_EQ(corners, CRect(0, 0, 5, 5));
  EXPECT_EQ(w.SetTimer(9, 10), 9u);
  EXPECT_TRUE(w.KillTimer(9));
  EXPECT_EQ(w.SendMessageW(WM_GETTEXTLENGTH), 11);
  w.DestroyWindow();
}

TEST_F(WindowTest, AHandlerExceptionStopsAtTheWindowProcedure) {
  RecordingWindow w;
  const HWND hwnd = MakePopup(w);
  EXPECT_EQ(::SendMessageW(hwnd, kThrow, 0, 0), 0);
  ::SendMessageW(hwnd, kProbe, 0, 0);
  EXPECT_EQ(w.probes, 1);
  w.DestroyWindow();
}

namespace {

class SuperEdit : public RecordingWindow {
 public:
  LPCWSTR GetWindowClassName() const override { return L"VELOTestEdit"; }
  LPCWSTR GetSuperClassName() const override { return L"EDIT"; }
};

class SuperMissing : public RecordingWindow {
 public:
  LPCWSTR GetWindowClassName() const override { return L"VELOTestMissing"; }
  LPCWSTR GetSuperClassName() const override { return L"NoSuchClassAnywhere"; }
};

}  // namespace

TEST_F(WindowTest, SuperclassedControlKeepsItsOwnBehaviour) {
  MWindow parent;
  const HWND parentHwnd = MakePopup(parent);
  SuperEdit edit;
  const HWND hwnd = edit.Create(parentHwnd, L"typed", WS_CHILD | WS_VISIBLE, 0, CRect(0, 0, 100, 20));
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(::GetPropW(hwnd, L"Control"), static_cast<HANDLE>(static_cast<MWindow*>(&edit)));
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
  // The edit control's own procedure keeps the text and answers EM_ messages.
  CString text;
  EXPECT_EQ(edit.GetWindowTextW(text), 5);
  EXPECT_EQ(text, L"typed");
  EXPECT_EQ(edit.SendMessageW(EM_GETLINECOUNT), 1);
  ::SendMessageW(hwnd, kProbe, 0, 0);
  EXPECT_EQ(edit.probes, 1);
  edit.DestroyWindow();
  EXPECT_EQ(edit.destroyedHwnd, hwnd);
  EXPECT_EQ(edit.GetSafeHwnd(), nullptr);

  SuperMissing missing;
  EXPECT_EQ(missing.Create(parentHwnd, L"x", WS_CHILD, 0, CRect(0, 0, 1, 1)), nullptr);
  EXPECT_EQ(missing.initCalls, 0);
  parent.DestroyWindow();
}

TEST_F(WindowTest, AWindowThatOutlivesItsObjectNoLongerReachesIt) {
  auto w = std::make_unique<RecordingWindow>();
  const HWND hwnd = MakePopup(*w);
  ASSERT_NE(hwnd, nullptr);
  {
    const MWindow copy(*w);  // its end leaves the original's binding alone
  }
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(w.get()));
  w.reset();
  EXPECT_TRUE(::IsWindow(hwnd));
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
  // Messages now end in the default procedure, not in freed memory.
  EXPECT_EQ(::SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"still here")), TRUE);
  ::SendMessageW(hwnd, kProbe, 0, 0);
  EXPECT_TRUE(::DestroyWindow(hwnd));

  // A superclassed control goes on with its own class's procedure.
  MWindow parent;
  const HWND parentHwnd = MakePopup(parent);
  auto edit = std::make_unique<SuperEdit>();
  const HWND editHwnd = edit->Create(parentHwnd, L"typed", WS_CHILD | WS_VISIBLE, 0, CRect(0, 0, 100, 20));
  ASSERT_NE(editHwnd, nullptr);
  edit.reset();
  EXPECT_EQ(::GetPropW(editHwnd, L"Control"), nullptr);
  EXPECT_NE(::GetWindowLongPtrW(editHwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&MWindow::ControlProc));
  EXPECT_EQ(::SendMessageW(editHwnd, EM_GETLINECOUNT, 0, 0), 1);
  wchar_t text[16] = {};
  EXPECT_EQ(::GetWindowTextW(editHwnd, text, 16), 5);
  EXPECT_STREQ(text, L"typed");
  parent.DestroyWindow();
  EXPECT_FALSE(::IsWindow(editHwnd));
}

TEST_F(WindowTest, FailedCreationStillCallsOnInitDialog) {
  RecordingWindow w;
  // A child window needs a parent: CreateWindowExW fails.
  EXPECT_EQ(w.Create(nullptr, L"orphan", WS_CHILD, 0, CRect(0, 0, 10, 10)), nullptr);
  EXPECT_EQ(w.initCalls, 1);
  EXPECT_EQ(w.GetSafeHwnd(), nullptr);
}

TEST_F(WindowTest, CenterWindowLargerThanTheWorkAreaGoesToItsTopLeft) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  MWindow w;
  MakePopup(w, nullptr, CRect(50, 50, 50 + 2500, 50 + 1500));
  w.CenterWindow();
  CRect rc;
  w.GetWindowRect(&rc);
  EXPECT_EQ(rc.TopLeft(), VELO::CPoint(work.left, work.top));
  EXPECT_EQ(rc.Width(), 2500);
  w.DestroyWindow();
}

TEST_F(WindowTest, CenterWindowOnTheWorkAreaOrAVisibleOwner) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const CRect area(work);
  MWindow w;
  MakePopup(w, nullptr, CRect(0, 0, 400, 300));
  w.CenterWindow();
  CRect rc;
  w.GetWindowRect(&rc);
  EXPECT_EQ(rc.TopLeft(),
            VELO::CPoint(area.left + area.Width() / 2 - 200, area.top + area.Height() / 2 - 150));

  // Centred on a visible window at the right edge, pushed back inside.
  MWindow beside;
  MakePopup(beside, nullptr, CRect(area.right - 100, area.top + 100, area.right, area.top + 200));
  w.CenterWindow(&beside);
  w.GetWindowRect(&rc);
  EXPECT_EQ(rc.TopLeft(), VELO::CPoint(area.right - 400, area.top));

  // A hidden reference counts as none.
  beside.ShowWindow(SW_HIDE);
  w.MoveWindow(0, 0, 400, 300);
  w.CenterWindow(&beside);
  w.GetWindowRect(&rc);
  EXPECT_EQ(rc.TopLeft(),
            VELO::CPoint(area.left + area.Width() / 2 - 200, area.top + area.Height() / 2 - 150));
  beside.DestroyWindow();
  w.DestroyWindow();
}

TEST_F(WindowTest, CenterChildInItsParentsClientArea) {
  MWindow parent;
  MakePopup(parent, nullptr, CRect(100, 100, 500, 400));
  CRect client;
  parent.GetClientRect(&client);
  MWindow child;
  child.Create(parent.GetSafeHwnd(), L"c", WS_CHILD | WS_VISIBLE, 0, CRect(0, 0, 100, 50));
  child.CenterWindow();
  CRect rc;
  child.GetWindowRect(&rc);
  parent.ScreenToClient(&rc);
  EXPECT_EQ(rc.TopLeft(), VELO::CPoint(client.Width() / 2 - 50, client.Height() / 2 - 25));
  parent.DestroyWindow();
}

TEST_F(WindowTest, BringToTopRestoresAMinimisedWindow) {
  MWindow w;
  MakePopup(w, nullptr, CRect(10, 10, 110, 110));
  w.ShowWindow(SW_MINIMIZE);
  ASSERT_TRUE(w.IsIconic());
  w.BringToTop();
  EXPECT_FALSE(w.IsIconic());
  EXPECT_TRUE(w.IsWindowVisible());
  MWindow hidden;
  hidden.Create(nullptr, L"h", WS_POPUP, 0, CRect(0, 0, 10, 10));
  hidden.BringToTop();
  EXPECT_TRUE(hidden.IsWindowVisible());
  hidden.DestroyWindow();
  w.DestroyWindow();
}

TEST_F(WindowTest, SetIconGivesBigAndSmallIconsWithoutPilingThemUp) {
  MWindow w;
  const HWND hwnd = MakePopup(w);
  w.SetIcon(107);
  const auto big = reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
  const auto smallIcon = reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(smallIcon, nullptr);
  const auto width = [](HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return -1;
    BITMAP bm{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return static_cast<int>(bm.bmWidth);
  };
  EXPECT_EQ(width(big), ::GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(width(smallIcon), ::GetSystemMetrics(SM_CXSMICON));
  w.SetIcon(107);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0)), big);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)), smallIcon);
  w.DestroyWindow();
}
