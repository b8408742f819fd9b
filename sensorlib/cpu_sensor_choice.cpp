#include "sensorlib/cpu_sensor_choice.h"

#include <algorithm>
#include <vector>

namespace sensorlib {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool Names(const ChipInput& in, std::string_view label) {
  if (in.input.quantity != HwmonQuantity::Temperature) return false;
  return in.label == label || HwmonPrefix(in.input) == label;
}

// What there is instead, for the message: each name once, at most sixteen
// (a listing of every input of a big server helps nobody).
void Append(std::vector<std::string>& names, std::string_view name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
}

std::string Listed(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 16;
  if (names.empty()) return "none";
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > kShown) text += ", ...";
  return text;
}

}  // namespace

std::optional<CpuSensorChoice> ParseCpuSensorChoice(std::string_view text, std::string& why) {
  text = Trim(text);
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) {
    why = "cpu_sensor \"" + std::string(text) + "\" is not <chip>/<label>";
    return std::nullopt;
  }
  CpuSensorChoice choice{std::string(Trim(text.substr(0, slash))), std::string(Trim(text.substr(slash + 1)))};
  if (choice.chip.empty() || choice.label.empty()) {
    why = "cpu_sensor \"" + std::string(text) + "\" lacks a chip or a label (<chip>/<label>)";
    return std::nullopt;
  }
  return choice;
}

std::optional<ChosenInput> FindChosenInput(const CpuSensorChoice& choice, std::span<const ChipFacts> chips,
                                           std::string& why) {
  std::vector<std::string> chip_names;
  std::vector<std::string> labels;
  bool chip_seen = false;
  for (std::size_t c = 0; c < chips.size(); ++c) {
    Append(chip_names, chips[c].chip);
    if (chips[c].chip != choice.chip) continue;
    chip_seen = true;
    for (std::size_t i = 0; i < chips[c].inputs.size(); ++i) {
      const ChipInput& in = chips[c].inputs[i];
      if (Names(in, choice.label)) return ChosenInput{c, i};
      if (in.input.quantity == HwmonQuantity::Temperature) {
        Append(labels, in.label.empty() ? HwmonPrefix(in.input) : in.label);
      }
    }
  }
  const std::string named = "cpu_sensor " + choice.chip + "/" + choice.label + ": ";
  if (!chip_seen) {
    why = named + "no hwmon chip \"" + choice.chip + "\" (chips: " + Listed(chip_names) + ")";
  } else {
    why = named + "chip \"" + choice.chip + "\" has no temperature \"" + choice.label +
          "\" (temperatures: " + Listed(labels) + ")";
  }
  return std::nullopt;
}

}  // namespace sensorlib
