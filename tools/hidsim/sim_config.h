// The simulator's description of the attached HID devices, read from a small
// INI-style text file (README.md).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hidsim {

struct SimInterface {
  std::uint16_t usage_page = 0;
  std::uint16_t usage = 0;
};

struct SimDevice {
  std::string name;  // the section name, used in the log
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t release = 0x0100;
  std::string product;  // UTF-8
  std::string manufacturer;
  std::string serial;
  std::vector<SimInterface> interfaces;
  std::uint16_t firmware = 0x0100;
  int wrong_first_replies = 0;
  bool present = true;
  bool open_fails = false;
  bool send_fails = false;
  bool read_fails = false;
  std::optional<int> disappear_after;    // successful reports
  std::optional<int> reappear_after;     // enumerations while absent
  std::optional<int> reappear_after_ms;  // time absent, as plugged in again unannounced
  std::size_t path_length = 0;           // 0: the natural length
  bool shared_path = false;              // every interface listed with one path, as hidraw does
};

struct SimConfig {
  bool init_fails = false;
  std::vector<SimDevice> devices;
};

struct ParseResult {
  std::optional<SimConfig> config;
  std::string error;  // "line N: ..." when config is empty
};

ParseResult ParseConfig(std::string_view text);

}  // namespace hidsim
