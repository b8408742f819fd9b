// Any bytes as HWiNFO's block (with the signature in place, so the fuzzer
// spends its time on the header's offsets, sizes and counts): the parser
// never reads outside them, and what it gives is fit for the record.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "sensorlib/hwinfo_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy: one byte beyond it is a sanitizer report.
  const auto bytes = std::make_unique<std::byte[]>(size ? size : 1);
  if (size > 0) std::memcpy(bytes.get(), data, size);
  if (size >= 4) std::memcpy(bytes.get(), &sensorlib::kHwinfoSignature, 4);
  const sensorlib::HwinfoParse parsed = sensorlib::ParseHwinfoBlock({bytes.get(), size});
  if (!parsed.block) {
    if (parsed.why.empty()) std::abort();
    return 0;
  }
  for (const auto& item : sensorlib::HwinfoItems(*parsed.block)) {
    if (item.name.size() > 255) std::abort();
    for (const auto& r : item.readings) {
      if (!std::isfinite(r.value) || r.label.size() > 135 || r.slot < 0 || r.slot > 511) std::abort();
    }
  }
  return 0;
}
