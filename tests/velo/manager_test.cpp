// The library's process-wide settings and its message loop.
#include "velo/core/manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using VELO::CString;
using VELO::Manager;

namespace {

TEST(ManagerTest, StartsWithTheLibraryDefaults) {
  EXPECT_EQ(Manager::GetInstance(), nullptr);
  EXPECT_EQ(Manager::GetFontName(), L"Arial");
  EXPECT_EQ(Manager::GetFontWidth(), 14);
  EXPECT_EQ(Manager::GetScaleValue(), 1.0f);
  EXPECT_EQ(Manager::GetCPUTemp(), 0.0f);
  EXPECT_EQ(Manager::GetSelectColor().GetValue(), 0xFFBD30FFu);
  EXPECT_EQ(Manager::m_uControlID, 0u);
  EXPECT_EQ(Manager::m_gdiplusStartupInput.GdiplusVersion, 1u);
  EXPECT_EQ(Manager::m_gdiplusStartupInput.DebugEventCallback, nullptr);
  EXPECT_FALSE(Manager::m_gdiplusStartupInput.SuppressBackgroundThread);
  EXPECT_FALSE(Manager::m_gdiplusStartupInput.SuppressExternalCodecs);
}

TEST(ManagerTest, ScaleValuesAreTruncatedTowardZero) {
  Manager::SetScaleValue(1.5f);
  EXPECT_EQ(Manager::GetScaleValue(), 1.5f);
  EXPECT_EQ(Manager::GetScaleValue(15), 22);
  EXPECT_EQ(Manager::GetScaleValue(-15), -22);
  Manager::SetScaleValue(0.99f);
  EXPECT_EQ(Manager::GetScaleValue(1), 0);
  EXPECT_EQ(Manager::GetScaleValue(100), 99);
  Manager::SetScaleValue(1.0f);
  EXPECT_EQ(Manager::GetScaleValue(37), 37);
}

TEST(ManagerTest, SkinsComeFromTheThemeFolderBesideTheExecutable) {
  EXPECT_EQ(Manager::GetTheme(), L"theme1\\");
  wchar_t exe[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  CString expected(exe);
  expected = expected.Left(expected.ReverseFind(L'\\') + 1) + L"skins\\theme1\\";
  EXPECT_EQ(Manager::GetSkinPath(), expected);
  // The library's own folder does not matter, nor the instance handed in.
  Manager::SetInstance(nullptr);
  EXPECT_EQ(Manager::GetSkinPath(), expected);
}

// The sensor thread writes while the UI thread reads: every read is a whole
// value that was written, the writer's progress is seen in order, and its
// last value arrives without waiting for the writer to end.
TEST(ManagerTest, CpuTemperatureCrossesThreads) {
  constexpr int kWrites = 20000;
  constexpr int kReadsBeforeLastWrite = 200;
  // Quarters are exact in a float, and their bit patterns differ widely, so a
  // torn read would give a value that was never written.
  const auto written = [](int i) { return static_cast<float>(i) * 0.5f + 0.25f; };
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  Manager::SetCPUTemp(written(0));
  std::atomic<int> reads{0};
  std::atomic<bool> finished{false};
  std::thread writer([&] {
    for (int i = 1; i < kWrites; ++i) Manager::SetCPUTemp(written(i));
    // The last value waits until the reader has been reading beside us.
    while (reads < kReadsBeforeLastWrite && std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
    Manager::SetCPUTemp(written(kWrites));
    finished = true;
  });
  int readsWhileWriting = 0, bad = 0;
  float last = written(0);
  while (std::chrono::steady_clock::now() < until) {
    const bool writing = !finished;
    const float seen = Manager::m_cpu_temp;
    const float index = (seen - 0.25f) * 2.0f;
    if (index != std::floor(index) || index < 0 || index > kWrites || seen < last) ++bad;
    if (writing) ++readsWhileWriting;
    last = seen;
    ++reads;
    if (seen == written(kWrites)) break;
  }
  writer.join();
  EXPECT_EQ(bad, 0) << "of " << reads << " reads";
  EXPECT_GE(readsWhileWriting, kReadsBeforeLastWrite);
  EXPECT_EQ(last, written(kWrites));
  Manager::SetCPUTemp(57.5f);
  EXPECT_EQ(static_cast<int>(Manager::m_cpu_temp), 57);
}

TEST(ManagerTest, WindowRegistryKeepsOneEntryPerWindow) {
  int a = 0, b = 0;
  auto* first = reinterpret_cast<VELO::MWindow*>(&a);
  auto* second = reinterpret_cast<VELO::MWindow*>(&b);
  Manager::AddWnd(first);
  Manager::AddWnd(first);
  Manager::AddWnd(second);
  EXPECT_EQ(Manager::GetWndCount(), 2);
  Manager::DeleteWnd(first);
  EXPECT_FALSE(Manager::IsWndRegistered(first));
  EXPECT_TRUE(Manager::IsWndRegistered(second));
  Manager::DeleteWnd(first);
  EXPECT_EQ(Manager::GetWndCount(), 1);

  Manager::InitGdiplus();  // starts GDI+ and COM, empties the registry
  EXPECT_EQ(Manager::GetWndCount(), 0);
  Manager::AddWnd(second);
  Manager::UnInitGdiplus();
  EXPECT_EQ(Manager::GetWndCount(), 0);
}

TEST(ManagerTest, InitGdiplusStartsGdiplusAndCom) {
  Manager::InitGdiplus();
  EXPECT_NE(Manager::m_gdiplusToken, 0u);
  {
    Gdiplus::Bitmap bitmap(4, 4, PixelFormat32bppARGB);
    EXPECT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
  }
  // COM is already initialised on this thread: a further call says so.
  const HRESULT again = ::CoInitialize(nullptr);
  EXPECT_EQ(again, S_FALSE);
  if (SUCCEEDED(again)) ::CoUninitialize();
  Manager::UnInitGdiplus();
}

TEST(ManagerTest, ClassesLiveInTheSharedLibrary) {
  const HMODULE velo = ::GetModuleHandleW(L"VELO.dll");
  ASSERT_NE(velo, nullptr);
  HMODULE owner = nullptr;
  ASSERT_TRUE(::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&Manager::m_fontname), &owner));
  EXPECT_EQ(owner, velo);
}

// Alt and F4 held through the system's input queue, released on every path.
class AltF4Held {
 public:
  AltF4Held() { Send(0); }
  ~AltF4Held() { Release(); }
  void Release() {
    if (!held_) return;
    Send(KEYEVENTF_KEYUP);
    held_ = false;
  }

 private:
  void Send(DWORD flags) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = VK_MENU;
    in[1].ki.wVk = VK_F4;
    in[0].ki.dwFlags = in[1].ki.dwFlags = flags;
    ::SendInput(2, in, sizeof(INPUT));
  }
  bool held_ = true;
};

std::atomic<int> g_dispatched{0};

LRESULT CALLBACK CountingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) ++g_dispatched;
  return ::DefWindowProcW(w, msg, wp, lp);
}

int RunLoopWithPosted(HWND w, int count) {
  g_dispatched = 0;
  for (int i = 0; i < count; ++i) ::PostMessageW(w, WM_APP, 0, 0);
  ::PostQuitMessage(0);
  Manager::MessageLoop();  // returns at WM_QUIT, also while the keys are held
  return g_dispatched;
}

bool IsDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

TEST(ManagerTest, MessageLoopDropsEverythingWhileAltF4IsHeld) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VeloManagerTest";
  ::RegisterClassW(&wc);
  HWND w = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                             nullptr);
  ASSERT_NE(w, nullptr);
  MSG msg{};

  EXPECT_EQ(RunLoopWithPosted(w, 3), 3);
  EXPECT_EQ(Manager::PreTranslateMessage(&msg), FALSE);
  {
    AltF4Held keys;
    ASSERT_TRUE(IsDown(VK_MENU) && IsDown(VK_F4));
    EXPECT_EQ(Manager::PreTranslateMessage(&msg), TRUE);
    EXPECT_EQ(Manager::PreTranslateMessage(nullptr), TRUE);  // the message is not looked at
    EXPECT_EQ(RunLoopWithPosted(w, 3), 0);
    keys.Release();
    ASSERT_FALSE(IsDown(VK_MENU) || IsDown(VK_F4));
  }
  // Released: the very next messages are dispatched again.
  EXPECT_EQ(Manager::PreTranslateMessage(&msg), FALSE);
  EXPECT_EQ(RunLoopWithPosted(w, 3), 3);
  ::DestroyWindow(w);
}

}  // namespace
