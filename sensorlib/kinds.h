// Kinds of hardware item and classes of reading as the record carries them.
// The program knows 11, 12 and 13; the others only tell items apart.
#pragma once

namespace sensorlib {

inline constexpr int kKindMemory = 10;
inline constexpr int kKindProcessor = 11;
inline constexpr int kKindMainboard = 12;
inline constexpr int kKindGraphics = 13;
inline constexpr int kKindDrive = 14;
inline constexpr int kKindOther = 17;

inline constexpr int kClassTemperature = 1;
inline constexpr int kClassVoltage = 2;
inline constexpr int kClassFan = 3;
inline constexpr int kClassClock = 6;
inline constexpr int kClassLoad = 7;

}  // namespace sensorlib
