// Device-change notices reaching a real window. Wine sends no WM_DEVICECHANGE
// for a simulated display, so the tests send the message themselves with the
// broadcast the system would build.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "device/worker/device_watch.h"
#include "device/worker/device_work.h"
#include "tests/device/sim_session.h"
#include "tests/device/test_support.h"

namespace ostrel::device {
namespace {

using testing::SimSession;
using testing::WaitUntil;

constexpr wchar_t kDisplayPath[] =
    L"\\\\?\\hid#vid_1a2c&pid_4f84#7&00005a3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

class CountingQueue final : public CThreadBasic {
 public:
  void Run() override {}
};

// A DEV_BROADCAST_DEVICEINTERFACE_W with the name in place, as long as the
// name needs (or cut to size bytes).
std::vector<std::byte> Broadcast(const std::wstring& name, DWORD device_type = DBT_DEVTYP_DEVICEINTERFACE,
                                 std::size_t size = 0) {
  const std::size_t full =
      offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 1) * sizeof(wchar_t);
  std::vector<std::byte> buffer(std::max(full, sizeof(DEV_BROADCAST_DEVICEINTERFACE_W)));
  auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
  b->dbcc_size = static_cast<DWORD>(size ? size : full);
  b->dbcc_devicetype = device_type;
  std::memcpy(b->dbcc_name, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  return buffer;
}

// A real window whose WM_DEVICECHANGE goes where the main dialog sends it.
class WatchWindow {
 public:
  explicit WatchWindow(CThreadBasic& queue) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &WatchWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OstrelDeviceWatchTest";
    ::RegisterClassW(&wc);
    window_ = ::CreateWindowExW(0, wc.lpszClassName, L"watch", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&queue));
  }
  ~WatchWindow() { ::DestroyWindow(window_); }
  HWND get() const { return window_; }

  LRESULT Notify(WPARAM event, const std::vector<std::byte>& broadcast) const {
    return ::SendMessageW(window_, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(broadcast.data()));
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DEVICECHANGE) {
      auto* queue = reinterpret_cast<CThreadBasic*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
      return HandleDeviceChange(wparam, lparam, *queue);
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  HWND window_ = nullptr;
};

std::vector<std::int32_t> Drain(CThreadBasic& queue) {
  std::vector<std::int32_t> codes;
  while (const auto code = queue.TakeTask()) codes.push_back(*code);
  return codes;
}

TEST(DeviceWatchTest, RegistersForTheFourInterfaceClasses) {
  CountingQueue queue;
  WatchWindow window(queue);
  ASSERT_TRUE(window.get());
  EXPECT_EQ(RegisterDeviceWatch(window.get()), 4);
}

TEST(DeviceWatchTest, NoticesForOtherDevicesQueueNothing) {
  CountingQueue queue;
  WatchWindow window(queue);
  EXPECT_EQ(window.Notify(DBT_DEVICEARRIVAL, Broadcast(L"\\\\?\\HID#VID_1A2D&PID_4F84#7&1&0&0000")), 0);
  EXPECT_EQ(window.Notify(DBT_DEVICEARRIVAL, Broadcast(L"\\\\?\\hid#vid_1a2c&pid_4f85#7&1&0&0000")), 0);
  EXPECT_EQ(window.Notify(DBT_DEVICEREMOVECOMPLETE, Broadcast(L"\\\\?\\usb#vid_046d&pid_c31c#5&2&0&1")), 0);
  EXPECT_TRUE(Drain(queue).empty());
}

TEST(DeviceWatchTest, ArrivalAndRemovalOfTheDisplayQueueARescanInAnyLetterCase) {
  CountingQueue queue;
  WatchWindow window(queue);
  // The path does not exist, so the HID check fails cleanly and only the
  // unconditional rescan is queued.
  EXPECT_EQ(window.Notify(DBT_DEVICEARRIVAL, Broadcast(kDisplayPath)), 0);
  EXPECT_EQ(window.Notify(DBT_DEVICEREMOVECOMPLETE, Broadcast(L"\\\\?\\USB#VID_1A2C&PID_4F84#5&2&0&1")), 0);
  EXPECT_EQ(window.Notify(DBT_DEVICEARRIVAL, Broadcast(L"\\\\?\\usb#Vid_1a2C&pId_4f84#5&2&0&1")), 0);
  EXPECT_EQ(Drain(queue), (std::vector<std::int32_t>{1, 1, 1}));
}

TEST(DeviceWatchTest, OtherEventsAndBroadcastKindsAreIgnored) {
  CountingQueue queue;
  WatchWindow window(queue);
  EXPECT_EQ(window.Notify(DBT_DEVICEQUERYREMOVE, Broadcast(kDisplayPath)), 0);
  EXPECT_EQ(window.Notify(DBT_DEVICEREMOVEPENDING, Broadcast(kDisplayPath)), 0);
  EXPECT_EQ(window.Notify(DBT_DEVICEARRIVAL, Broadcast(kDisplayPath, DBT_DEVTYP_VOLUME)), 0);
  EXPECT_EQ(::SendMessageW(window.get(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), 0);
  EXPECT_EQ(::SendMessageW(window.get(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), 0);
  EXPECT_TRUE(Drain(queue).empty());
}

// The name is read no further than the structure's stated size.
TEST(DeviceWatchTest, TheNameEndsWhereTheBroadcastSaysItEnds) {
  CountingQueue queue;
  WatchWindow window(queue);
  const std::wstring name = L"\\\\?\\HID#VID_1A2C&PID_4F84#7&1&0&0000";
  const std::size_t cut = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + 16 * sizeof(wchar_t);
  window.Notify(DBT_DEVICEARRIVAL, Broadcast(name, DBT_DEVTYP_DEVICEINTERFACE, cut));
  window.Notify(DBT_DEVICEARRIVAL, Broadcast(name, DBT_DEVTYP_DEVICEINTERFACE, 8));
  EXPECT_TRUE(Drain(queue).empty());
}

// Plugging in queues a rescan that opens the display for the next update
// step; unplugging queues one that leaves the count at 0, which the tray
// reads from the user-interface thread.
TEST(DeviceWatchTest, PlugAndUnplugReachTheWorker) {
  SimSession sim(
      "[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\npresent = no\nreappear_after = 1\n"
      "disappear_after = 1\n");
  class Worker final : public CThreadBasic {
   public:
    Worker() : work_("no-such-sensor-library.dll") { work_.SetUpdatePause(&DeviceWork::PauseUntilStop); }
    ~Worker() { StopWorker(); }
    void Run() override { work_.Run(*this); }

   private:
    DeviceWork work_;
  } worker;
  WatchWindow window(worker);
  CHidDeviceManager& devices = CHidDeviceManager::Instance();

  worker.StartWorker();
  ASSERT_TRUE(WaitUntil([&] { return sim.Events("enumerate").size() == 1 && worker.PendingTasks() == 0; }));
  EXPECT_EQ(devices.DeviceCount(), 0);

  window.Notify(DBT_DEVICEARRIVAL, Broadcast(kDisplayPath));
  ASSERT_TRUE(WaitUntil([&] { return devices.DeviceCount() == 1; }));
  ASSERT_TRUE(WaitUntil([&] { return sim.Events("gone").size() == 1; }));
  EXPECT_EQ(sim.Events("send_feature").size(), 1u);

  window.Notify(DBT_DEVICEREMOVECOMPLETE, Broadcast(kDisplayPath));
  ASSERT_TRUE(WaitUntil([&] { return sim.Events("enumerate").size() == 3; }));
  EXPECT_EQ(devices.DeviceCount(), 0);
  worker.StopWorker();
}

}  // namespace
}  // namespace ostrel::device
