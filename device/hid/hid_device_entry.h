// One open display interface held by the registry.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/win/hid_handles.h"
#include "device/hid/scan_rules.h"

namespace ostrel::device {

struct HidDeviceEntry {
  std::int32_t index = 0;  // list length when the entry was added
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::array<char, kEntryPathCapacity> path{};  // NUL-terminated, as enumerated
  std::wstring first_string;                    // nothing reads it
  std::wstring product_string;                  // empty when it could not be read
  std::wstring third_string;                    // nothing reads it
  win::unique_hid_device device;
  std::uint32_t release_number = 0;
};

}  // namespace ostrel::device
