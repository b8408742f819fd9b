// The state behind the eight entry points: the sources, and the snapshot
// that queries are answered from until the next update. Callers may come
// from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
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
  // Looks for the source again; set for sources whose program may start or
  // end while the library runs (HWiNFO, LibreHardwareMonitor, NVML).
  std::function<DetectedSource()> look_again;
};
// Looks at the machine; the result comes in order of precedence.
using DetectSources = std::function<std::vector<DetectedSource>()>;

// How often a source that can come and go is looked for while absent, and
// looked at while present: a WMI connection costs tens of milliseconds.
inline constexpr std::chrono::milliseconds kLookAgainEvery{10000};

class Library {
 public:
  using Clock = std::function<double()>;  // wall-clock seconds

  // Sources are detected again at every Init; those that may come and go
  // are looked for again every `look_again` on a thread of the library's
  // own, so no pass waits for a detection.
  Library(DetectSources detect, Clock clock, std::chrono::milliseconds look_again = kLookAgainEvery);
  // A fixed set, all present.
  Library(std::vector<std::unique_ptr<SensorSource>> sources, Clock clock);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

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
  // "<name>\tfound|absent\t<why>\n": found only for a source whose last
  // collection gave at least one reading.
  void HardwareSource(std::int32_t hardware, char* buffer, std::int32_t size);
  std::string DescribeSources();

 private:
  struct Entry {
    DetectedSource detected;
    std::size_t readings = 0;  // in the source's last collection
  };

  void Rebuild();
  void StartWatch();
  void StopWatch();
  void Watch(std::stop_token stop);
  // One round of the watch: drops sources that went, then looks for the
  // absent ones outside the lock and takes up what it found.
  void LookAgain();

  std::mutex mutex_;
  DetectSources detect_;
  std::vector<Entry> sources_;
  Clock clock_;
  bool open_ = false;
  std::uint64_t updates_ = 0;
  // Counts Inits and Shutdowns: a detection that raced one is thrown away.
  std::uint64_t generation_ = 0;
  bool sources_changed_ = false;  // a source came or went since the last count
  Snapshot snapshot_;
  std::chrono::milliseconds look_again_;
  std::condition_variable_any wake_;
  std::jthread watch_;
};

}  // namespace sensorlib
