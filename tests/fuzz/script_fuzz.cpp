// Any text as a sensor script: accepted within the script's limits, or
// declined with a message; never a crash.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sensorlib/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const sensorlib::ParseResult result =
      sensorlib::ParseScript(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!result.ok()) {
    if (!result.script.items.empty()) std::abort();
    return 0;
  }
  for (const auto& item : result.script.items) {
    if (item.name.size() > sensorlib::kMaxNameLength) std::abort();
    for (const auto& r : item.readings) {
      if (r.slot < 0 || r.slot > sensorlib::kMaxSlot || r.label.size() > sensorlib::kMaxLabelLength)
        std::abort();
      sensorlib::Evaluate(r.value, {1e9, 12345});
    }
  }
  return 0;
}
