#include "sensorlib/scripted_source.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "common/printable.h"

namespace sensorlib {

ScriptedSource::ScriptedSource(std::filesystem::path path, std::string how_found, Log log)
    : path_(std::move(path)), how_found_(std::move(how_found)), log_(std::move(log)) {}

std::string ScriptedSource::PathText() const {
  const std::u8string text = path_.u8string();
  return ostrel::Printable({reinterpret_cast<const char*>(text.data()), text.size()});
}

std::optional<ScriptedSource::FileText> ScriptedSource::ReadFile() const {
  std::ifstream file(path_, std::ios::binary);
  if (!file.is_open()) return std::nullopt;
  FileText text;
  text.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  text.read_ok = file.good() || file.eof();
  return text;
}

void ScriptedSource::Load(std::optional<FileText> file) {
  script_ = {};
  loaded_ = std::move(file);
  if (!loaded_) {
    log_("sensorlib: no sensor script at " + PathText() + " (" + how_found_ + "); no hardware");
    return;
  }
  if (!loaded_->read_ok) {
    log_("sensorlib: cannot read the sensor script " + PathText() + "; no hardware");
    return;
  }
  ParseResult parsed = ParseScript(loaded_->bytes);
  if (!parsed.ok()) {
    log_("sensorlib: " + PathText() + ": " + parsed.error + "; no hardware");
    return;
  }
  if (parsed.script.items.empty()) log_("sensorlib: " + PathText() + " names no hardware");
  script_ = std::move(parsed.script);
}

void ScriptedSource::Open() {
  opened_ = true;
  Load(ReadFile());
}

bool ScriptedSource::Changed() {
  if (!opened_) return false;
  std::optional<FileText> now = ReadFile();
  if (now == loaded_) return false;
  Load(std::move(now));
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
