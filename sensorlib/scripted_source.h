// Readings from a script file (see README.md). The file is read again when
// its time stamp or size changes, so a running demo follows edits.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "sensorlib/script.h"
#include "sensorlib/sensor_source.h"

namespace sensorlib {

using Log = std::function<void(std::string_view line)>;

class ScriptedSource final : public SensorSource {
 public:
  // how_found says where the path came from, for messages.
  ScriptedSource(std::filesystem::path path, std::string how_found, Log log);

  void Open() override;
  bool Changed() override;
  void Collect(const Moment& moment, std::vector<SnapshotItem>& items) override;

 private:
  struct Stamp {
    std::filesystem::file_time_type time;
    std::uintmax_t size = 0;
    bool operator==(const Stamp&) const = default;
  };
  std::optional<Stamp> CurrentStamp() const;
  void Load();
  std::string PathText() const;

  std::filesystem::path path_;
  std::string how_found_;
  Log log_;
  Script script_;
  std::optional<Stamp> loaded_stamp_;
  bool opened_ = false;
};

}  // namespace sensorlib
