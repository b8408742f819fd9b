#include "device/protocol/shown_value.h"

namespace ostrel::device {

int ShownValue(float celsius) noexcept {
  // Comparisons first: converting a NaN or an out-of-range float to int is
  // undefined behaviour.
  if (!(celsius > static_cast<float>(kLowestShownValue))) return kLowestShownValue;
  if (celsius >= static_cast<float>(kHighestShownValue)) return kHighestShownValue;
  return static_cast<int>(celsius);
}

int BoundShownValue(int value) noexcept {
  if (value < kLowestShownValue) return kLowestShownValue;
  if (value > kHighestShownValue) return kHighestShownValue;
  return value;
}

}  // namespace ostrel::device
