// Device arrival and removal: the main window registers for interface
// notifications, and each one that names the display queues a rescan.
#pragma once

#include <windows.h>
// dbt.h needs the types of windows.h first.
#include <dbt.h>

#include "device/worker/thread_basic.h"

namespace ostrel::device {

// Registers the window for USB, disk, HID and network interface
// notifications. The registrations last as long as the window; returns how
// many succeeded.
int RegisterDeviceWatch(HWND window) noexcept;

// event is DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE. A display's own
// HID interface arriving queues two rescans, any other interface naming the
// display one.
void OnDeviceInterfaceChange(const DEV_BROADCAST_DEVICEINTERFACE_W& broadcast, WPARAM event,
                             CThreadBasic& queue) noexcept;

// The whole WM_DEVICECHANGE handling of the main window: the result to
// return, without passing the message on.
LRESULT HandleDeviceChange(WPARAM event, LPARAM data, CThreadBasic& queue) noexcept;

}  // namespace ostrel::device
