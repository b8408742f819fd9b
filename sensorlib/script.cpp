#include "sensorlib/script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>
#include <set>
#include <utility>

#include "common/printable.h"

namespace sensorlib {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// Splits off the first blank-separated word; rest keeps what follows.
std::string_view NextWord(std::string_view& rest) {
  rest = Trim(rest);
  const auto end = std::min(rest.find_first_of(kBlanks), rest.size());
  const std::string_view word = rest.substr(0, end);
  rest = Trim(rest.substr(end));
  return word;
}

// A value is one word, or a call whose arguments may hold blanks: wave(40, 70, 30).
// Text stuck to the closing parenthesis stays part of the value, which then
// fails, instead of sliding into the label.
std::string_view NextValue(std::string_view& rest) {
  rest = Trim(rest);
  const auto open = rest.find('(');
  const auto blank = rest.find_first_of(kBlanks);
  if (open != std::string_view::npos && open < blank) {
    const auto close = rest.find(')', open);
    if (close == std::string_view::npos) return NextWord(rest);
    const auto end = std::min(rest.find_first_of(kBlanks, close), rest.size());
    const std::string_view value = rest.substr(0, end);
    rest = Trim(rest.substr(end));
    return value;
  }
  return NextWord(rest);
}

std::string Quoted(std::string_view text) { return "\"" + ostrel::Printable(text) + "\""; }

// Lines are LF or CRLF. A CR anywhere else (lone CR line ends would fold the
// whole file into one hardware name) or any other control byte, a NUL
// included, is refused rather than read into a name or label.
std::string ControlByteProblem(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if (byte == '\r') return "carriage return inside the line (line ends are LF or CR LF, not CR alone)";
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
      static constexpr char kDigits[] = "0123456789ABCDEF";
      return std::string("control byte 0x") + kDigits[byte >> 4] + kDigits[byte & 0xF] + " at byte " +
             std::to_string(i + 1);
    }
  }
  return {};
}

std::optional<double> ParseNumber(std::string_view s) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  // "nan" and "inf" parse, but no sensor reads them.
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> ParseInt(std::string_view s) {
  int value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

std::optional<std::vector<double>> ParseArguments(std::string_view list) {
  std::vector<double> values;
  while (true) {
    const auto comma = list.find(',');
    auto number = ParseNumber(list.substr(0, comma));
    if (!number) return std::nullopt;
    values.push_back(*number);
    if (comma == std::string_view::npos) return values;
    list.remove_prefix(comma + 1);
  }
}

std::optional<int> ParseKind(std::string_view word) {
  static constexpr std::pair<std::string_view, int> kNames[] = {
      {"processor", 11}, {"mainboard", 12}, {"gpu", 13}};
  for (const auto& [name, kind] : kNames) {
    if (word == name) return kind;
  }
  auto kind = ParseInt(word);
  if (kind && *kind >= 0) return kind;
  return std::nullopt;
}

std::optional<int> ParseClass(std::string_view word) {
  static constexpr std::pair<std::string_view, int> kNames[] = {
      {"temperature", 1}, {"voltage", 2}, {"fan", 3}, {"clock", 6}, {"load", 7}};
  for (const auto& [name, sensor_class] : kNames) {
    if (word == name) return sensor_class;
  }
  // Classes 4 and 5 are never read by the program: a reading there would be
  // silently ignored.
  auto sensor_class = ParseInt(word);
  for (const auto& [name, read_class] : kNames) {
    if (sensor_class == read_class) return sensor_class;
  }
  return std::nullopt;
}

// Either the value or why it is not one.
std::variant<ValueSpec, std::string> ParseValue(std::string_view word) {
  const auto open = word.find('(');
  if (open == std::string_view::npos) {
    if (auto number = ParseNumber(word)) return Constant{*number};
    return "bad value " + Quoted(word) + " (a number, wave(low,high,seconds) or steps(v1,v2,...))";
  }
  const std::string_view function = word.substr(0, open);
  const auto close = word.find(')');
  if (close == std::string_view::npos) return "missing ) in " + Quoted(word);
  if (close + 1 != word.size())
    return "text right after ) in " + Quoted(word) + " (put a blank before the label)";
  const auto arguments = ParseArguments(word.substr(open + 1, word.size() - open - 2));
  if (!arguments) return "bad number in " + Quoted(word);
  if (function == "wave") {
    if (arguments->size() != 3) return "wave takes three numbers: wave(low,high,seconds)";
    if (!((*arguments)[2] > 0) || !std::isfinite((*arguments)[2]))
      return "the period of wave must be above 0";
    return Wave{(*arguments)[0], (*arguments)[1], (*arguments)[2]};
  }
  if (function == "steps") return Steps{*arguments};
  return "unknown value function " + Quoted(function) + " (wave or steps)";
}

class Parser {
 public:
  // An empty result means the line was accepted.
  std::string Line(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') return {};
    std::string_view rest = line;
    const std::string_view first = NextWord(rest);
    if (first == "hardware") return Hardware(rest);
    return Reading(first, rest);
  }

  Script Take() { return std::move(script_); }

 private:
  std::string Hardware(std::string_view rest) {
    const std::string_view kind_word = NextWord(rest);
    const auto kind = ParseKind(kind_word);
    if (!kind) {
      return "bad hardware kind " + Quoted(kind_word) + " (processor, mainboard, gpu or a number)";
    }
    if (rest.empty()) return "hardware without a name";
    if (rest.size() > kMaxNameLength) return "hardware name longer than 255 bytes";
    script_.items.push_back({*kind, std::string(rest), {}});
    used_.clear();
    return {};
  }

  std::string Reading(std::string_view class_word, std::string_view rest) {
    const auto sensor_class = ParseClass(class_word);
    if (!sensor_class) {
      return "unknown line start " + Quoted(class_word) +
             " (hardware, temperature, voltage, fan, clock, load or a class number 1, 2, 3, 6 or 7)";
    }
    if (script_.items.empty()) return "reading before the first hardware line";
    const std::string_view slot_word = NextWord(rest);
    const auto slot = ParseInt(slot_word);
    if (!slot || *slot < 0 || *slot > kMaxSlot) return "bad slot " + Quoted(slot_word) + " (0 to 511)";
    if (!used_.insert({*sensor_class, *slot}).second) return "slot " + std::to_string(*slot) + " used twice";
    const std::string_view value_word = NextValue(rest);
    if (value_word.empty()) return "reading without a value";
    auto value = ParseValue(value_word);
    if (auto* problem = std::get_if<std::string>(&value)) return std::move(*problem);
    if (rest.empty()) return "reading without a label";
    if (rest.size() > kMaxLabelLength) return "label longer than 135 bytes";
    script_.items.back().readings.push_back(
        {*sensor_class, *slot, std::get<ValueSpec>(std::move(value)), std::string(rest)});
    return {};
  }

  Script script_;
  std::set<std::pair<int, int>> used_;  // class and slot, within the current item
};

}  // namespace

double Evaluate(const ValueSpec& spec, const Moment& moment) noexcept {
  if (const auto* c = std::get_if<Constant>(&spec)) return c->value;
  if (const auto* w = std::get_if<Wave>(&spec)) {
    const double phase = std::fmod(moment.seconds, w->period_seconds) / w->period_seconds;
    return w->low + (w->high - w->low) * (1 - std::cos(2 * std::numbers::pi * phase)) / 2;
  }
  const auto& values = std::get<Steps>(spec).values;
  return values.empty() ? 0 : values[moment.updates % values.size()];
}

ParseResult ParseScript(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  Parser parser;
  int number = 0;
  while (!text.empty()) {
    ++number;
    const auto end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    std::string problem = ControlByteProblem(line);
    if (problem.empty()) problem = parser.Line(line);
    if (!problem.empty()) {
      return {{}, "line " + std::to_string(number) + ": " + problem};
    }
  }
  return {parser.Take(), {}};
}

}  // namespace sensorlib
