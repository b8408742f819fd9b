#include "daemon/daemon_config.h"

#include "common/printable.h"

namespace ostrel::daemon {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool HasControl(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

// chip: a hwmon chip name (no '/', no blanks); label: the rest, non-empty.
bool IsChipLabel(std::string_view value) {
  const auto slash = value.find('/');
  if (slash == std::string_view::npos || slash == 0 || slash + 1 == value.size()) return false;
  const std::string_view chip = value.substr(0, slash);
  return chip.find_first_of(" \t") == std::string_view::npos;
}

ConfigParse Fault(int line, std::string error) { return {std::nullopt, line, std::move(error)}; }

}  // namespace

ConfigParse ParseDaemonConfig(std::string_view text) {
  if (text.size() > kMaxConfigBytes) {
    return Fault(0, "larger than " + std::to_string(kMaxConfigBytes) + " bytes: not a configuration");
  }
  DaemonConfig config;
  bool cpu_sensor_seen = false;
  int number = 0;
  while (!text.empty()) {
    ++number;
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    line = Trim(line);
    if (line.empty()) continue;
    if (HasControl(line)) return Fault(number, "holds control characters");
    const auto equals = line.find('=');
    const std::string_view key = equals == std::string_view::npos ? line : Trim(line.substr(0, equals));
    if (equals == std::string_view::npos || key.empty()) {
      return Fault(number, "expected key = value, found \"" + Printable(line) + "\"");
    }
    const std::string_view value = Trim(line.substr(equals + 1));
    if (key != "cpu_sensor") return Fault(number, "unknown setting \"" + Printable(key) + "\"");
    if (cpu_sensor_seen) return Fault(number, "cpu_sensor is set a second time");
    cpu_sensor_seen = true;
    if (!value.empty() && !IsChipLabel(value)) {
      return Fault(number,
                   "cpu_sensor \"" + Printable(value) + "\" is not <chip>/<label> (e.g. k10temp/Tctl)");
    }
    config.cpu_sensor = std::string(value);
  }
  return {config, 0, {}};
}

}  // namespace ostrel::daemon
