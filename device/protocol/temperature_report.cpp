#include "device/protocol/temperature_report.h"

#include "device/hid/display_ids.h"
#include "device/protocol/shown_value.h"

namespace ostrel::device {

Digits SplitDigits(int value) noexcept {
  // A negative value would give a negative units digit (-5 -> 0xFB on the
  // wire), which the display cannot show.
  value = BoundShownValue(value);
  return Digits{
      static_cast<std::uint8_t>((value / 100) % 10),
      static_cast<std::uint8_t>((value / 10) % 10),
      static_cast<std::uint8_t>(value - 10 * (value / 10)),
  };
}

TemperatureReport BuildTemperatureReport(int value) noexcept {
  TemperatureReport report{};
  const Digits digits = SplitDigits(value);
  report[0] = kReportId;
  report[1] = 0xFF;  // command: show temperature
  report[2] = 0xFF;
  report[3] = digits.hundreds;
  report[4] = digits.tens;
  report[5] = digits.units;
  return report;
}

}  // namespace ostrel::device
