// The scripted source's text format (see README.md): hardware items, each
// with readings by class and slot, whose values may be constant or follow
// time. Parsing is all-or-nothing: a script with one bad line yields no
// hardware and a message naming the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sensorlib {

inline constexpr int kMaxSlot = 511;
inline constexpr std::size_t kMaxLabelLength = 135;  // plus NUL in the record's 136 bytes
inline constexpr std::size_t kMaxNameLength = 255;   // plus NUL in the caller's 256 bytes

struct Constant {
  double value = 0;
};
// Rises from low to high and back over one period of wall-clock time, so
// every process that loads the script sees the same value at the same moment.
struct Wave {
  double low = 0, high = 0, period_seconds = 1;
};
// One value per library update, in turn, starting again after the last.
struct Steps {
  std::vector<double> values;
};
using ValueSpec = std::variant<Constant, Wave, Steps>;

// What the value of a reading depends on.
struct Moment {
  double seconds = 0;         // wall-clock time
  std::uint64_t updates = 0;  // library updates so far
};

double Evaluate(const ValueSpec& spec, const Moment& moment) noexcept;

struct ScriptReading {
  int sensor_class = 0;
  int slot = 0;
  ValueSpec value;
  std::string label;
};

struct ScriptItem {
  int kind = 0;
  std::string name;
  std::vector<ScriptReading> readings;
};

struct Script {
  std::vector<ScriptItem> items;
};

struct ParseResult {
  Script script;
  std::string error;  // empty when the script was accepted; else "<line>: <problem>"
  bool ok() const noexcept { return error.empty(); }
};

ParseResult ParseScript(std::string_view text);

}  // namespace sensorlib
