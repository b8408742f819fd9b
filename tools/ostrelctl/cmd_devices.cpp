// ostrelctl devices: rescan as the worker does and list the open displays,
// with the firmware version of the first.
#include <cstdio>
#include <string>

#include "common/printable.h"
#include "device/hid/hid_device_manager.h"
#include "device/worker/device_work.h"
#include "tools/ostrelctl/command.h"
#include "tools/ostrelctl/system_access.h"

namespace ostrelctl {

int RunDevices(Args args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: ostrelctl devices\n");
    return 2;
  }
  auto& devices = ostrel::device::CHidDeviceManager::Instance();
  ostrel::device::RescanDisplays(devices);
  std::printf("displays: %d\n", devices.DeviceCount());
  for (const auto& entry : devices.Devices()) {
    // What a device says of itself is quoted escaped, as any outside input.
    std::printf("%d  %s  \"%s\"  release 0x%04X\n", static_cast<int>(entry->index),
                ostrel::Printable(entry->path.data()).c_str(),
                ostrel::Printable(Utf8(entry->product_string)).c_str(),
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
