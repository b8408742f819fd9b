// The state behind the eight entry points: the sources, and the snapshot
// that queries are answered from until the next update. Callers may come
// from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sensorlib/sensor_source.h"
#include "sensorlib/snapshot.h"

namespace sensorlib {

inline constexpr std::int32_t kLibraryVersion = 0x0100;

class Library {
 public:
  using Clock = std::function<double()>;  // wall-clock seconds

  Library(std::vector<std::unique_ptr<SensorSource>> sources, Clock clock);

  std::int32_t Init(std::uint32_t flags);
  void Shutdown();
  std::int32_t HardwareCount();
  void Update();
  // Every query names its item, so selecting one changes nothing here.
  void SelectHardware(std::int32_t) {}
  void HardwareName(std::int32_t hardware, char* buffer, std::int32_t size);
  // 1 when the record was written (present or not), 0 when not.
  std::int32_t GetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot, void* record);

 private:
  void Rebuild();

  std::mutex mutex_;
  std::vector<std::unique_ptr<SensorSource>> sources_;
  Clock clock_;
  bool open_ = false;
  std::uint64_t updates_ = 0;
  Snapshot snapshot_;
};

}  // namespace sensorlib
