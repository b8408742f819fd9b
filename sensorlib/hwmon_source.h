// Readings of a Linux host: the hwmon chips under <root>/sys/class/hwmon,
// the thermal zones under <root>/sys/class/thermal that no chip stands for,
// and the processor's load from <root>/proc/stat. The layout (which files hold
// which reading) is found once, and again when a file stops answering (a
// removed device's attributes fail), when the list of chips differs or a
// chip's first file was removed (looked at every few passes: a listing under
// Wine costs as much as half a pass), when any open file was removed (looked
// at every thirty passes), or every five minutes; each update then costs one read per sensor file,
// kept open.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sensorlib/cpu_sensor_choice.h"
#include "sensorlib/host_files.h"
#include "sensorlib/hwmon_map.h"
#include "sensorlib/proc_text.h"
#include "sensorlib/sensor_source.h"

namespace sensorlib {

class HwmonSource final : public SensorSource {
 public:
  // root stands in for the host's "/" ("Z:", "C:/fake", "/tmp/tree").
  // list_every: how many passes apart the list of chips is looked at.
  HwmonSource(std::string root, std::unique_ptr<HostFiles> files, int list_every = 5);

  // The user's choice of CPU temperature as it stands now, asked once per
  // pass (a new choice finds the layout again); none: the automatic rules.
  using ChoiceFeed = std::function<std::optional<CpuSensorChoice>()>;
  void FollowCpuChoice(ChoiceFeed feed) { choice_feed_ = std::move(feed); }

  void Open() override;
  bool Changed() override;
  void Collect(const Moment& moment, std::vector<SnapshotItem>& items) override;
  std::string WhyNoReading() const override {
    return (chips_.empty() ? "no hwmon chip under " : "no reading under ") + root_ + "/sys/class/hwmon";
  }
  // The processor's load from /proc/stat alone is no sign of a sensor chip
  // (the system source gives that load too).
  std::optional<std::string> WhatIsMissing() const override {
    if (!chips_.empty()) return std::nullopt;
    return "no hwmon chip under " + root_ + "/sys/class/hwmon";
  }

  // Whether the root shows anything to read at all, with the reason when not.
  static std::optional<std::string> WhyAbsent(const std::string& root, HostFiles& files);
  // Whether the chip and input a choice names exist under root; why not
  // (with what there is instead) when they do not.
  static bool HasChosenInput(const std::string& root, std::unique_ptr<HostFiles> files,
                             const CpuSensorChoice& choice, std::string& why);

 private:
  struct Sensor {
    std::unique_ptr<HostFile> file;
    HwmonQuantity quantity;
    int sensor_class;
    int slot;
    std::string label;
  };
  struct Item {
    int kind = 0;
    std::string name;
    std::vector<Sensor> sensors;
    bool carries_load = false;
  };

  struct Found {
    MappedChip chip;
    std::size_t order;
  };
  struct ChipsRead {
    std::vector<ChipFacts> facts;
    std::vector<std::string> folders;
  };

  void Discover();
  std::optional<std::vector<std::string>> ListChips();
  bool EmptyChipFilled();
  ChipsRead ReadChips();
  std::optional<ChipFacts> ReadChip(const std::string& folder);
  std::vector<Found> MapChips(const ChipsRead& chips, const std::map<int, std::string>& models);
  void AddThermalZones(std::vector<Found>& found, const std::map<int, std::string>& models);
  void PlaceChosenInput(std::vector<Found>& found, const ChipsRead& chips,
                        const std::map<int, std::string>& models);
  bool OpenStat();
  void BuildItems(const std::vector<Found>& found, bool has_stat);
  std::optional<double> ReadValue(const Sensor& sensor);
  std::optional<double> CpuLoad();

  std::string root_;
  std::unique_ptr<HostFiles> files_;
  std::vector<std::string> chips_;  // the hwmon folder names the layout was found in
  // Chip folders that showed no input file: a device whose attributes come
  // a moment after its folder is looked at again at every listing.
  std::vector<std::string> empty_chips_;
  std::vector<Item> items_;
  bool stale_ = true;
  int list_every_;
  int passes_since_listing_ = 0;
  int listings_since_sweep_ = 0;
  int updates_since_discovery_ = 0;
  std::unique_ptr<HostFile> stat_;
  std::optional<CpuTimes> last_times_;
  std::optional<double> last_load_;
  ChoiceFeed choice_feed_;
  std::optional<CpuSensorChoice> choice_;
};

}  // namespace sensorlib
