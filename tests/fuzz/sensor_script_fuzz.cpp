// The scripted sensor library's parser: any text is accepted or refused
// with a message, never crashes or overruns, keeps the documented bounds,
// and an accepted script evaluates for every reading at any moment.
#include <cstdint>
#include <string_view>

#include "sensorlib/script.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const sensorlib::ParseResult result = sensorlib::ParseScript(text);
  if (!result.ok()) return 0;
  for (const auto& item : result.script.items) {
    OSTREL_FUZZ_CHECK(item.name.size() <= sensorlib::kMaxNameLength);
    for (const auto& reading : item.readings) {
      OSTREL_FUZZ_CHECK(reading.slot >= 0 && reading.slot <= sensorlib::kMaxSlot);
      OSTREL_FUZZ_CHECK(reading.label.size() <= sensorlib::kMaxLabelLength);
      for (double seconds : {0.0, 0.25, 1e6}) (void)sensorlib::Evaluate(reading.value, {seconds, 7});
    }
  }
  return 0;
}
