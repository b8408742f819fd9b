#include "sensorlib/sysfs_text.h"

#include <charconv>

namespace sensorlib {
namespace {

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool ParseIndex(std::string_view digits, int& out) noexcept {
  if (digits.empty() || digits.size() > 4) return false;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), out);
  return error == std::errc() && end == digits.data() + digits.size();
}

}  // namespace

std::optional<std::int64_t> ParseSysfsInteger(std::string_view text) noexcept {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::string CleanSysfsText(std::string_view text, std::size_t max_length) {
  if (const auto end = text.find('\n'); end != std::string_view::npos) text = text.substr(0, end);
  std::string out;
  bool pending_space = false;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte >= 0x7F) {
      pending_space = !out.empty();
      continue;
    }
    if (pending_space) {
      if (out.size() + 1 >= max_length) break;
      out += ' ';
      pending_space = false;
    }
    if (out.size() >= max_length) break;
    out += c;
  }
  return out;
}

std::optional<HwmonInput> ParseHwmonInputName(std::string_view name) noexcept {
  constexpr std::string_view kSuffix = "_input";
  if (name.size() <= kSuffix.size() || name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return std::nullopt;
  }
  name.remove_suffix(kSuffix.size());
  static constexpr struct {
    std::string_view prefix;
    HwmonQuantity quantity;
  } kPrefixes[] = {{"temp", HwmonQuantity::Temperature},
                   {"in", HwmonQuantity::Voltage},
                   {"fan", HwmonQuantity::Fan},
                   {"freq", HwmonQuantity::Frequency}};
  for (const auto& p : kPrefixes) {
    if (name.substr(0, p.prefix.size()) != p.prefix) continue;
    HwmonInput input{p.quantity, 0};
    if (ParseIndex(name.substr(p.prefix.size()), input.index)) return input;
  }
  return std::nullopt;
}

std::string HwmonPrefix(const HwmonInput& input) {
  const char* prefix = "temp";
  switch (input.quantity) {
    case HwmonQuantity::Temperature:
      break;
    case HwmonQuantity::Voltage:
      prefix = "in";
      break;
    case HwmonQuantity::Fan:
      prefix = "fan";
      break;
    case HwmonQuantity::Frequency:
      prefix = "freq";
      break;
    case HwmonQuantity::Load:
      prefix = "load";
      break;
  }
  return prefix + std::to_string(input.index);
}

std::optional<double> ScaleHwmonValue(HwmonQuantity quantity, std::int64_t raw) noexcept {
  // Bounds in raw units: millidegrees, millivolts, RPM, hertz, per cent.
  std::int64_t low = 0, high = 0;
  double scale = 1;
  switch (quantity) {
    case HwmonQuantity::Temperature:
      low = -60'000, high = 250'000, scale = 1e-3;
      break;
    case HwmonQuantity::Voltage:
      low = -100'000, high = 100'000, scale = 1e-3;
      break;
    case HwmonQuantity::Fan:
      low = 0, high = 50'000;
      break;
    case HwmonQuantity::Frequency:
      low = 0, high = 20'000'000'000, scale = 1e-6;
      break;
    case HwmonQuantity::Load:
      low = 0, high = 100;
      break;
  }
  if (raw < low || raw > high) return std::nullopt;
  return static_cast<double>(raw) * scale;
}

}  // namespace sensorlib
