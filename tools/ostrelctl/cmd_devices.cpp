// ostrelctl devices: rescan as the worker does and list the open displays,
// with the firmware version of the first.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/win/text.h"
#include "device/device_work.h"
#include "device/hid_device_manager.h"
#include "tools/ostrelctl/command.h"

namespace ostrelctl {
namespace {}  // namespace

int RunDevices(Args args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: ostrelctl devices\n");
    return 2;
  }
  auto& devices = ostrel::device::CHidDeviceManager::Instance();
  ostrel::device::RescanDisplays(devices);
  std::printf("displays: %d\n", devices.DeviceCount());
  for (const auto& entry : devices.Devices()) {
    std::printf("%d  %s  \"%s\"  release 0x%04X\n", static_cast<int>(entry->index), entry->path.data(),
                ostrel::win::Narrow(entry->product_string).c_str(),
                static_cast<unsigned>(entry->release_number));
  }
  if (devices.DeviceCount() > 0) {
    std::uint16_t version = 0;
    if (devices.QueryVersion(version)) {
      std::printf("firmware of display 0: 0x%04X (%u)\n", static_cast<unsigned>(version),
                  static_cast<unsigned>(version));
    } else {
      std::printf("firmware of display 0: no answer\n");
    }
  }
  return 0;
}

}  // namespace ostrelctl
