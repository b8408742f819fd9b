// What a scan looks for. The name and the flag are kept for the callers that
// pass them; only the two ids take part in matching.
#pragma once

#include <cstdint>
#include <string>

namespace ostrel::device {

struct HidDeviceFilter {
  std::uint32_t vendor_id = 0;
  std::uint32_t product_id = 0;
  std::wstring name;
  std::int32_t flag = 0;
};

}  // namespace ostrel::device
