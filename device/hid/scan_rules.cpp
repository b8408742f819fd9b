#include "device/hid/scan_rules.h"

#include <cstring>

#include "device/hid/display_ids.h"

namespace ostrel::device {

const HidDeviceFilter* FindMatchingFilter(std::span<const HidDeviceFilter> filters, std::uint16_t vendor_id,
                                          std::uint16_t product_id) noexcept {
  for (const HidDeviceFilter& filter : filters) {
    if (filter.vendor_id == vendor_id && filter.product_id == product_id) return &filter;
  }
  return nullptr;
}

bool IsDisplayCollection(std::uint16_t usage_page, std::uint16_t usage) noexcept {
  return usage_page == kDisplayUsagePage && usage == kDisplayUsage;
}

bool PathFitsEntry(const char* path) noexcept {
  return path != nullptr && std::strlen(path) < kEntryPathCapacity;
}

}  // namespace ostrel::device
