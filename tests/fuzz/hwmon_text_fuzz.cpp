// Whatever a sysfs or /proc file holds: the parsers answer or decline, and
// what they answer is fit for the record.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sensorlib/hwmon_map.h"
#include "sensorlib/proc_text.h"
#include "sensorlib/sysfs_text.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool FitForRecord(std::string_view text, std::size_t max) {
  if (text.size() > max) return false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  using namespace sensorlib;

  if (const auto value = ParseSysfsInteger(text)) {
    for (HwmonQuantity q : {HwmonQuantity::Temperature, HwmonQuantity::Voltage, HwmonQuantity::Fan,
                            HwmonQuantity::Frequency, HwmonQuantity::Load}) {
      if (const auto scaled = ScaleHwmonValue(q, *value)) Check(std::isfinite(*scaled));
    }
  }
  Check(FitForRecord(CleanSysfsText(text, 135), 135));
  if (const auto input = ParseHwmonInputName(text)) {
    Check(input->index >= 0 && input->index <= 9999);
    Check(HwmonPrefix(*input) + "_input" == text);
  }

  // The first line a chip name, the rest its labels, one per input.
  const std::size_t eol = text.find('\n');
  ChipFacts facts;
  facts.chip = CleanSysfsText(text.substr(0, eol), 64);
  std::string_view rest = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
  int index = 1;
  while (!rest.empty() && index < 64) {
    const std::size_t next = rest.find('\n');
    const auto quantity = static_cast<HwmonQuantity>(index % 4);
    facts.inputs.push_back({{quantity, index}, CleanSysfsText(rest.substr(0, next), 135)});
    rest.remove_prefix(next == std::string_view::npos ? rest.size() : next + 1);
    ++index;
  }
  facts.busy_percent = size % 2;
  if (const auto chip = MapChip(facts, 0, ParseCpuModels(text))) {
    Check(FitForRecord(chip->name, 255));
    for (const auto& r : chip->readings) Check(FitForRecord(r.label, 135) && !r.label.empty());
  }

  const auto before = ParseProcStat(text);
  const auto after = ParseProcStat(text.substr(size / 2));
  if (before && after) {
    if (const auto load = LoadBetween(*before, *after)) Check(*load >= 0 && *load <= 100);
  }
  return 0;
}
