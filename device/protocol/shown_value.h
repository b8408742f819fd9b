// The whole-degree value the panel and the display show for a processor
// temperature read from the hardware block.
#pragma once

namespace ostrel::device {

inline constexpr int kHighestShownValue = 99;
// The display has no minus sign: anything below zero shows as 0.
inline constexpr int kLowestShownValue = 0;

// Truncates toward zero and caps at 99. Any float is accepted, since other
// processes may write anything into the shared block: NaN shows as 0, values
// below zero (down to -infinity) as 0, values of 99 or more as 99.
int ShownValue(float celsius) noexcept;

// The same bound for a whole number already taken from somewhere else (a
// caller of the report builder): below 0 shows as 0, above 99 as 99.
int BoundShownValue(int value) noexcept;

}  // namespace ostrel::device
