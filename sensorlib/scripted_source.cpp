#include "sensorlib/scripted_source.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace sensorlib {

ScriptedSource::ScriptedSource(std::filesystem::path path, std::string how_found, Log log)
    : path_(std::move(path)), how_found_(std::move(how_found)), log_(std::move(log)) {}

std::string ScriptedSource::PathText() const {
  const std::u8string text = path_.u8string();
  return {text.begin(), text.end()};
}

std::optional<ScriptedSource::Stamp> ScriptedSource::CurrentStamp() const {
  std::error_code error;
  Stamp stamp;
  stamp.time = std::filesystem::last_write_time(path_, error);
  if (error) return std::nullopt;
  stamp.size = std::filesystem::file_size(path_, error);
  if (error) return std::nullopt;
  return stamp;
}

void ScriptedSource::Load() {
  script_ = {};
  loaded_stamp_ = CurrentStamp();
  if (!loaded_stamp_) {
    log_("sensorlib: no sensor script at " + PathText() + " (" + how_found_ + "); no hardware");
    return;
  }
  std::ifstream file(path_, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) {
    log_("sensorlib: cannot read the sensor script " + PathText() + "; no hardware");
    return;
  }
  ParseResult parsed = ParseScript(text);
  if (!parsed.ok()) {
    log_("sensorlib: " + PathText() + ": " + parsed.error + "; no hardware");
    return;
  }
  if (parsed.script.items.empty()) log_("sensorlib: " + PathText() + " names no hardware");
  script_ = std::move(parsed.script);
}

void ScriptedSource::Open() {
  opened_ = true;
  Load();
}

bool ScriptedSource::Changed() {
  if (!opened_ || CurrentStamp() == loaded_stamp_) return false;
  Load();
  return true;
}

void ScriptedSource::Collect(const Moment& moment, std::vector<SnapshotItem>& items) {
  if (!opened_) return;
  for (const ScriptItem& item : script_.items) {
    SnapshotItem out{item.kind, item.name, {}};
    out.readings.reserve(item.readings.size());
    for (const ScriptReading& r : item.readings) {
      out.readings.push_back({r.sensor_class, r.slot, Evaluate(r.value, moment), r.label});
    }
    items.push_back(std::move(out));
  }
}

}  // namespace sensorlib
