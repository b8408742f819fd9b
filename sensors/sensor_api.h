// What the program requires of the outside sensor library: its file name, the
// eight entry points taken by ordinal, and the codes passed to and from it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ostrel::sensors {

inline constexpr std::string_view kLibraryFileName = "api-ms-win-core-sysinfo-825-32.dll";
inline constexpr std::uint32_t kInitFlags = 192;

inline constexpr int kOrdinalInit = 850;
inline constexpr int kOrdinalEntry398 = 398;
inline constexpr int kOrdinalEntry613 = 613;
inline constexpr int kOrdinalHardwareCount = 156;
inline constexpr int kOrdinalUpdate = 263;
inline constexpr int kOrdinalSelectHardware = 678;
inline constexpr int kOrdinalHardwareName = 952;
inline constexpr int kOrdinalGetReading = 641;

// Reading classes, the first argument of the reading query.
inline constexpr int kClassTemperature = 1;
inline constexpr int kClassVoltage = 2;
inline constexpr int kClassFan = 3;
inline constexpr int kClassClock = 6;
inline constexpr int kClassLoad = 7;

// Kinds of hardware item, as the reading record reports them.
inline constexpr int kKindProcessor = 11;
inline constexpr int kKindMainboard = 12;
inline constexpr int kKindGraphics = 13;

inline constexpr int kSlotCount = 512;
inline constexpr int kHardwareNameSize = 256;

// x86-64 Windows has one calling convention, so these types also describe
// plain functions of a native build (the tests' stand-in library).
using InitFn = std::int32_t (*)(std::uint32_t flags);
using UncalledFn = void (*)();
using HardwareCountFn = std::int32_t (*)();
using UpdateFn = void (*)();
using SelectHardwareFn = void (*)(std::int32_t hardware);
using HardwareNameFn = void (*)(std::int32_t hardware, char* buffer, std::int32_t size);
using GetReadingFn = std::int32_t (*)(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot,
                                      void* record);

struct EntryPoints {
  InitFn init = nullptr;
  UncalledFn entry398 = nullptr;
  UncalledFn entry613 = nullptr;
  HardwareCountFn hardware_count = nullptr;
  UpdateFn update = nullptr;
  SelectHardwareFn select_hardware = nullptr;
  HardwareNameFn hardware_name = nullptr;
  GetReadingFn get_reading = nullptr;

  bool Complete() const noexcept {
    return init && entry398 && entry613 && hardware_count && update && select_hardware && hardware_name &&
           get_reading;
  }
};

// Takes every entry point through resolve(ordinal), which returns a generic
// function pointer or nullptr, in the order the library expects to be bound.
template <typename Resolve>
EntryPoints ResolveEntryPoints(Resolve&& resolve) {
  const auto as = [&resolve]<typename Fn>(Fn& out, int ordinal) {
    // resolve hands out void(*)(), which converts to any function type
    // without a -Wcast-function-type warning.
    out = reinterpret_cast<Fn>(resolve(ordinal));
  };
  EntryPoints e;
  as(e.init, kOrdinalInit);
  as(e.entry398, kOrdinalEntry398);
  as(e.entry613, kOrdinalEntry613);
  as(e.hardware_count, kOrdinalHardwareCount);
  as(e.update, kOrdinalUpdate);
  as(e.select_hardware, kOrdinalSelectHardware);
  as(e.hardware_name, kOrdinalHardwareName);
  as(e.get_reading, kOrdinalGetReading);
  return e;
}

}  // namespace ostrel::sensors
