// A programmable stand-in for the sensor library: it answers from a
// scenario the test sets and logs every call. Linked straight into native
// tests, and built as DLLs (ordinals only, plus named functions to program
// it) for the tests of the binding under Wine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

struct Reading {
  int sensor_class = 1;
  int slot = 0;
  std::int32_t present = 1;
  double value = 0;
  std::int32_t kind = 0;
  std::string label;
  // Fill all 136 label bytes with 'L' and no NUL, beyond the label above.
  bool label_without_nul = false;
};

struct Item {
  std::string name;
  bool name_without_nul = false;  // fill all 256 name bytes with 'N'
  std::vector<Reading> readings;
};

// Queries of a class and slot that no reading matches fail (return 0).
struct Scenario {
  std::int32_t init_result = 0;
  bool count_from_items = true;
  std::int32_t count = 0;  // used when count_from_items is false
  std::vector<Item> items;
};

enum class Entry { Init, Count, Update, Select, Name, Reading };

struct Call {
  Entry entry = Entry::Init;
  std::int32_t a = 0, b = 0, c = 0;  // arguments, in order
  bool record_zero = false;          // GetReading: the record was all zero on entry
};

void Program(const Scenario& scenario);
std::vector<Call> Calls();

// The entry points.
std::int32_t Init(std::uint32_t flags);
void Uncalled();
std::int32_t HardwareCount();
void Update();
void SelectHardware(std::int32_t hardware);
void HardwareName(std::int32_t hardware, char* buffer, std::int32_t size);
std::int32_t GetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot, void* record);

}  // namespace fake
