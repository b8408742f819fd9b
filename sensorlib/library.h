// The state behind the eight entry points: the sources, and the snapshot
// that queries are answered from until the next update. Callers may come
// from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sensorlib/sensor_source.h"
#include "sensorlib/snapshot.h"

namespace sensorlib {

inline constexpr std::int32_t kLibraryVersion = 0x0100;

// One source as SensorInit found it: present (source set) or absent, with
// what was found or why not, for `ostrelctl sources`.
struct DetectedSource {
  std::string name;
  std::unique_ptr<SensorSource> source;
  std::string why;
};
// Looks at the machine; the result comes in order of precedence.
using DetectSources = std::function<std::vector<DetectedSource>()>;

class Library {
 public:
  using Clock = std::function<double()>;  // wall-clock seconds

  // Sources are detected again at every Init.
  Library(DetectSources detect, Clock clock);
  // A fixed set, all present.
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

  // Diagnostics: the source of an item, and one line per source,
  // "<name>\tfound|absent\t<why>\n", as the last Init detected them.
  void HardwareSource(std::int32_t hardware, char* buffer, std::int32_t size);
  std::string DescribeSources();

 private:
  void Rebuild();

  std::mutex mutex_;
  DetectSources detect_;
  std::vector<DetectedSource> sources_;
  Clock clock_;
  bool open_ = false;
  std::uint64_t updates_ = 0;
  Snapshot snapshot_;
};

}  // namespace sensorlib
