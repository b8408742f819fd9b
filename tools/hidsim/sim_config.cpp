#include "tools/hidsim/sim_config.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <type_traits>

namespace hidsim {
namespace {

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

// Decimal or 0x-prefixed hexadecimal, whole string, within max.
std::optional<unsigned long> ParseNumber(std::string_view text, unsigned long max) {
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  const std::string copy(text);
  errno = 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(copy.c_str(), &end, 0);
  if (errno != 0 || end != copy.c_str() + copy.size() || value > max) return std::nullopt;
  return value;
}

std::optional<bool> ParseFlag(std::string_view text) {
  if (text == "yes" || text == "true" || text == "1") return true;
  if (text == "no" || text == "false" || text == "0") return false;
  return std::nullopt;
}

// A '#' or ';' that starts the line or follows a blank starts a comment, as
// in the README's own example; one inside a value ("FF#1") does not. The
// text keys (product, manufacturer, serial) keep their whole line: a product
// name may well hold " #2".
std::string_view WithoutComment(std::string_view line) {
  const std::string_view key = Trim(line.substr(0, line.find('=')));
  if (line.find('=') != std::string_view::npos &&
      (key == "product" || key == "manufacturer" || key == "serial")) {
    return line;
  }
  for (std::size_t i = 0; i < line.size(); ++i) {
    if ((line[i] == '#' || line[i] == ';') && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
      return line.substr(0, i);
    }
  }
  return line;
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// "FF01:1 0001:6": hexadecimal usage page and usage of each interface.
std::optional<std::vector<SimInterface>> ParseInterfaces(std::string_view text) {
  std::vector<SimInterface> result;
  while (!(text = Trim(text)).empty()) {
    const auto end = text.find_first_of(" \t");
    const std::string_view item = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end);
    const auto colon = item.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const auto page = ParseNumber("0x" + std::string(item.substr(0, colon)), 0xFFFF);
    const auto usage = ParseNumber("0x" + std::string(item.substr(colon + 1)), 0xFFFF);
    if (!page || !usage) return std::nullopt;
    result.push_back({static_cast<std::uint16_t>(*page), static_cast<std::uint16_t>(*usage)});
  }
  if (result.empty()) return std::nullopt;
  return result;
}

// Applies one key of a device section; an error text, or empty when done.
std::string ApplyDeviceKey(SimDevice& device, std::string_view key, std::string_view value) {
  auto number = [&](auto& field, unsigned long max) -> std::string {
    const auto parsed = ParseNumber(value, max);
    if (!parsed) return "bad number for " + std::string(key);
    field = static_cast<std::remove_reference_t<decltype(field)>>(*parsed);
    return {};
  };
  auto flag = [&](bool& field) -> std::string {
    const auto parsed = ParseFlag(value);
    if (!parsed) return "expected yes or no for " + std::string(key);
    field = *parsed;
    return {};
  };
  auto count = [&](std::optional<int>& field) -> std::string {
    const auto parsed = ParseNumber(value, std::numeric_limits<int>::max());
    if (!parsed) return "bad number for " + std::string(key);
    field = static_cast<int>(*parsed);
    return {};
  };
  if (key == "vendor_id") return number(device.vendor_id, 0xFFFF);
  if (key == "product_id") return number(device.product_id, 0xFFFF);
  if (key == "release") return number(device.release, 0xFFFF);
  if (key == "firmware") return number(device.firmware, 0xFFFF);
  if (key == "wrong_first_replies") return number(device.wrong_first_replies, 1000000);
  if (key == "path_length") return number(device.path_length, 65536);
  if (key == "product") return device.product = value, std::string{};
  if (key == "manufacturer") return device.manufacturer = value, std::string{};
  if (key == "serial") return device.serial = value, std::string{};
  if (key == "present") return flag(device.present);
  if (key == "open_fails") return flag(device.open_fails);
  if (key == "send_fails") return flag(device.send_fails);
  if (key == "read_fails") return flag(device.read_fails);
  if (key == "shared_path") return flag(device.shared_path);
  if (key == "disappear_after") return count(device.disappear_after);
  if (key == "reappear_after") return count(device.reappear_after);
  if (key == "reappear_after_ms") return count(device.reappear_after_ms);
  if (key == "interfaces") {
    auto parsed = ParseInterfaces(value);
    if (!parsed) return "expected usage pairs like FF01:1 for interfaces";
    device.interfaces = std::move(*parsed);
    return {};
  }
  return "unknown key " + std::string(key);
}

}  // namespace

ParseResult ParseConfig(std::string_view text) {
  SimConfig config;
  std::vector<int> id_keys;  // bit 0 vendor_id, bit 1 product_id
  int line_number = 0;
  auto fail = [&](const std::string& message) {
    return ParseResult{std::nullopt, "line " + std::to_string(line_number) + ": " + message};
  };
  while (!text.empty()) {
    ++line_number;
    const auto end = text.find('\n');
    std::string_view line = Trim(WithoutComment(text.substr(0, end)));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty()) continue;

    if (line.front() == '[') {
      if (line.back() != ']') return fail("section header without ]");
      const std::string_view name = Trim(line.substr(1, line.size() - 2));
      if (name.empty()) return fail("empty device name");
      for (char c : name) {
        if (!IsNameChar(c)) return fail("device names use letters, digits, _ and -");
      }
      for (const auto& other : config.devices) {
        if (other.name == name) return fail("device " + std::string(name) + " defined twice");
      }
      SimDevice device;
      device.name = name;
      device.interfaces = {{0xFF01, 0x0001}};
      config.devices.push_back(std::move(device));
      id_keys.push_back(0);
      continue;
    }

    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return fail("expected key = value");
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (config.devices.empty()) {
      if (key != "init_fails") return fail("unknown key " + std::string(key) + " before the first device");
      const auto parsed = ParseFlag(value);
      if (!parsed) return fail("expected yes or no for init_fails");
      config.init_fails = *parsed;
      continue;
    }
    const std::string error = ApplyDeviceKey(config.devices.back(), key, value);
    if (!error.empty()) return fail(error);
    if (key == "vendor_id") id_keys.back() |= 1;
    if (key == "product_id") id_keys.back() |= 2;
  }
  for (std::size_t i = 0; i < config.devices.size(); ++i) {
    if (id_keys[i] != 3) {
      return ParseResult{std::nullopt,
                         "device " + config.devices[i].name + ": vendor_id and product_id are required"};
    }
  }
  return ParseResult{std::move(config), {}};
}

}  // namespace hidsim
