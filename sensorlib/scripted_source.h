// Readings from a script file (see README.md). The file is read again when
// its content changes, so a running demo follows edits: its time stamp has
// whole-second resolution through the C++ file-system library under mingw,
// and an edit within the same second that keeps the size would be missed.
#pragma once

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
  // What the file holds now; nothing when it cannot be opened (missing).
  struct FileText {
    bool read_ok = true;
    std::string bytes;
    bool operator==(const FileText&) const = default;
  };
  std::optional<FileText> ReadFile() const;
  void Load(std::optional<FileText> file);
  std::string PathText() const;

  std::filesystem::path path_;
  std::string how_found_;
  Log log_;
  Script script_;
  std::optional<FileText> loaded_;
  bool opened_ = false;
};

}  // namespace sensorlib
