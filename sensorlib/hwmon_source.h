// Readings of a Linux host: the hwmon chips under <root>/sys/class/hwmon and
// the processor's load from <root>/proc/stat. The layout (which files hold
// which reading) is found once, and again when a file stops answering (a
// removed device's attributes fail), when the list of chips differs or a
// chip's first file was removed (looked at every few passes: a listing under
// Wine costs as much as half a pass), when any open file was removed (looked
// at every thirty passes), or every five minutes; each update then costs one read per sensor file,
// kept open.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

  void Discover();
  std::optional<std::vector<std::string>> ListChips();
  std::optional<ChipFacts> ReadChip(const std::string& folder);
  std::optional<double> ReadValue(const Sensor& sensor);
  std::optional<double> CpuLoad();

  std::string root_;
  std::unique_ptr<HostFiles> files_;
  std::vector<std::string> chips_;  // the hwmon folder names the layout was found in
  std::vector<Item> items_;
  bool stale_ = true;
  int list_every_;
  int passes_since_listing_ = 0;
  int listings_since_sweep_ = 0;
  int updates_since_discovery_ = 0;
  std::unique_ptr<HostFile> stat_;
  std::optional<CpuTimes> last_times_;
  std::optional<double> last_load_;
};

}  // namespace sensorlib
