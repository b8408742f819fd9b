// How one hwmon chip becomes one hardware item: its kind, a name and labels
// that the program's fixed name rules read the way a user would (the CPU
// temperature at "CPU Package" or "CPU (Tctl/Tdie)", a card's
// "GPU Temperature", the board's "Motherboard"). The table in README.md
// lists every mapping made here.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sensorlib/sysfs_text.h"

namespace sensorlib {

struct ChipInput {
  HwmonInput input;
  std::string label;  // the cleaned <prefix>_label file; empty without one
};

// What discovery found in one hwmon folder.
struct ChipFacts {
  std::string chip;  // the "name" file
  std::vector<ChipInput> inputs;
  std::string device_model;          // device/model (drives)
  std::string product_name;          // device/product_name (amdgpu)
  std::optional<std::int64_t> vram;  // device/mem_info_vram_total, bytes
  bool busy_percent = false;         // device/gpu_busy_percent exists
};

struct MappedReading {
  int sensor_class = 0;
  HwmonQuantity quantity = HwmonQuantity::Temperature;
  // The input's index; for Load, the device's gpu_busy_percent file.
  int index = 0;
  std::string label;
  // The file that holds the value, set by discovery (a chosen input may move
  // to another item, so the file cannot be found from the item's folder).
  std::string path;
};

struct MappedChip {
  int kind = 0;
  std::string name;
  // Processor items: the package it belongs to, for its name and for the
  // load, which goes to the first package.
  int package = 0;
  std::vector<MappedReading> readings;
};

// ordinal: how many processor chips came before this one (the package of a
// chip whose labels do not name one). Nothing for chips with no input we
// read (an i915 without sensors).
std::optional<MappedChip> MapChip(const ChipFacts& facts, int ordinal,
                                  const std::map<int, std::string>& cpu_models);

// The item that carries the load when no processor chip is found.
MappedChip LoadOnlyProcessor(const std::map<int, std::string>& cpu_models);

}  // namespace sensorlib
