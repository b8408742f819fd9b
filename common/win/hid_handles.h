// Owners of what hidapi hands out: an open device and an enumeration list.
// Only targets that link hidapi include this.
#pragma once

#include <hidapi.h>

#include <memory>

namespace ostrel::win {

struct HidDeviceCloser {
  void operator()(hid_device* device) const noexcept { hid_close(device); }
};
using unique_hid_device = std::unique_ptr<hid_device, HidDeviceCloser>;

struct HidEnumerationFree {
  void operator()(hid_device_info* list) const noexcept { hid_free_enumeration(list); }
};
using unique_hid_enumeration = std::unique_ptr<hid_device_info, HidEnumerationFree>;

}  // namespace ostrel::win
