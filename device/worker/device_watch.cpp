#include "device/worker/device_watch.h"

#include <cstddef>
#include <string>

#include "common/swallowed_failure.h"
#include "device/hid/hid_interface_probe.h"
#include "device/hid/interface_name.h"
#include "device/worker/worker_task.h"

namespace ostrel::device {
namespace {

// USB devices, disks, HID interfaces, network adapters.
constexpr GUID kWatchedClasses[] = {
    {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}},
    {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}},
    {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}},
    {0xAD498944, 0x762F, 0x11D0, {0x8D, 0xCB, 0x00, 0xC0, 0x4F, 0xC3, 0x35, 0x8C}},
};

// The name ends at its NUL or at the end of the structure, whichever comes
// first: dbcc_size is all the sender promises.
std::wstring InterfaceName(const DEV_BROADCAST_DEVICEINTERFACE_W& broadcast) {
  constexpr std::size_t name_offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  if (broadcast.dbcc_size <= name_offset) return {};
  const std::size_t capacity = (broadcast.dbcc_size - name_offset) / sizeof(wchar_t);
  const wchar_t* name = broadcast.dbcc_name;
  std::size_t length = 0;
  while (length < capacity && name[length] != L'\0') ++length;
  return std::wstring(name, length);
}

}  // namespace

int RegisterDeviceWatch(HWND window) noexcept {
  int registered = 0;
  for (const GUID& interface_class : kWatchedClasses) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = interface_class;
    // Never unregistered: the registration ends with the window.
    if (::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE)) ++registered;
  }
  return registered;
}

void OnDeviceInterfaceChange(const DEV_BROADCAST_DEVICEINTERFACE_W& broadcast, WPARAM event,
                             CThreadBasic& queue) noexcept {
  try {
    const std::wstring name = InterfaceName(broadcast);
    if (!IsDisplayInterfaceName(name)) return;
    const auto refresh = static_cast<std::int32_t>(WorkerTask::RefreshDevices);
    if (event == DBT_DEVICEARRIVAL && IsDisplayHidInterface(name)) queue.PostTask(refresh);
    queue.PostTask(refresh);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

LRESULT HandleDeviceChange(WPARAM event, LPARAM data, CThreadBasic& queue) noexcept {
  if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return 0;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return 0;
  OnDeviceInterfaceChange(*reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data), event, queue);
  return 0;
}

}  // namespace ostrel::device
