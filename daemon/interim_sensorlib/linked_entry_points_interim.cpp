// INTERIM, until the Linux sources land (branch linux-sources): hwmon and
// /proc/stat under OSTREL_SYSFS_ROOT (or /) through the library's own core,
// enough to run the daemon end to end. Delete this folder at the merge.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "common/swallowed_failure.h"
#include "sensorlib/host_files.h"
#include "sensorlib/hwmon_source.h"
#include "sensorlib/library.h"
#include "sensorlib/linked_entry_points.h"

namespace sensorlib {
namespace {

std::string Root() {
  const char* root = std::getenv("OSTREL_SYSFS_ROOT");
  return root && *root ? root : "";
}

Library& Instance() {
  static Library* library = new Library(
      [] {
        std::vector<DetectedSource> found;
        const std::string root = Root();
        auto files = MakeHostFiles();
        if (auto why = HwmonSource::WhyAbsent(root, *files)) {
          found.push_back({"hwmon", nullptr, *why});
        } else {
          found.push_back({"hwmon", std::make_unique<HwmonSource>(root, std::move(files)),
                           (root.empty() ? std::string("/") : root) + "/sys/class/hwmon"});
        }
        return found;
      },
      [] {
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
      });
  return *library;
}

template <typename Result, typename Call>
Result Guarded(Result fallback, Call&& call) noexcept {
  try {
    return call(Instance());
  } catch (...) {
    ::ostrel::ReportSwallowed("daemon/interim_sensorlib linked entry point");
    return fallback;
  }
}

std::int32_t Init(std::uint32_t flags) {
  return Guarded(std::int32_t{1}, [&](Library& l) { return l.Init(flags); });
}
void Uncalled() {}
std::int32_t HardwareCount() {
  return Guarded(std::int32_t{0}, [](Library& l) { return l.HardwareCount(); });
}
void Update() {
  Guarded(0, [](Library& l) {
    l.Update();
    return 0;
  });
}
void SelectHardware(std::int32_t) {}
void HardwareName(std::int32_t hardware, char* buffer, std::int32_t size) {
  Guarded(0, [&](Library& l) {
    l.HardwareName(hardware, buffer, size);
    return 0;
  });
}
std::int32_t GetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot, void* record) {
  return Guarded(std::int32_t{0},
                 [&](Library& l) { return l.GetReading(sensor_class, hardware, slot, record); });
}

}  // namespace

ostrel::sensors::EntryPoints LinkedEntryPoints() noexcept {
  return {&Init, &Uncalled, &Uncalled, &HardwareCount, &Update, &SelectHardware, &HardwareName, &GetReading};
}

bool SetCpuSensorChoice(std::string_view choice, std::string& why) noexcept {
  try {
    if (choice.empty()) return true;
    const std::size_t slash = choice.find('/');
    const std::string chip(choice.substr(0, slash));
    const std::string label(slash == std::string_view::npos ? "" : choice.substr(slash + 1));
    std::error_code error;
    for (const auto& dir : std::filesystem::directory_iterator(Root() + "/sys/class/hwmon", error)) {
      std::string name;
      std::getline(std::ifstream(dir.path() / "name"), name);
      if (name != chip) continue;
      for (const auto& file : std::filesystem::directory_iterator(dir.path(), error)) {
        const std::string file_name = file.path().filename().string();
        if (!file_name.starts_with("temp") || !file_name.ends_with("_label")) continue;
        std::string text;
        std::getline(std::ifstream(file.path()), text);
        if (text == label) return true;
      }
      why = "chip \"" + chip + "\" has no temperature labelled \"" + label + "\"";
      return false;
    }
    why = "no hwmon chip named \"" + chip + "\"";
    return false;
  } catch (...) {
    why = "out of memory";
    return false;
  }
}

}  // namespace sensorlib
