// One open display interface held by the registry.
#pragma once

#include <hidapi.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "device/scan_rules.h"

namespace ostrel::device {

struct HidDeviceCloser {
  void operator()(hid_device* device) const noexcept { hid_close(device); }
};
using unique_hid_device = std::unique_ptr<hid_device, HidDeviceCloser>;

struct HidDeviceEntry {
  std::int32_t index = 0;  // list length when the entry was added
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::array<char, kEntryPathCapacity> path{};  // NUL-terminated, as enumerated
  std::wstring first_string;                    // nothing reads it
  std::wstring product_string;                  // empty when it could not be read
  std::wstring third_string;                    // nothing reads it
  unique_hid_device device;
  std::uint32_t release_number = 0;
};

}  // namespace ostrel::device
