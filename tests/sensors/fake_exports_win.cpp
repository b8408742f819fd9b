// The fake library as a DLL: the eight entry points by ordinal (the .def
// files pick which), and two named functions for the test to program it.
#include <cstdint>

#include "tests/sensors/fake_library.h"

extern "C" {

std::int32_t FakeInit(std::uint32_t flags) { return fake::Init(flags); }
void FakeEntry398() { fake::Uncalled(); }
void FakeEntry613() { fake::Uncalled(); }
std::int32_t FakeHardwareCount() { return fake::HardwareCount(); }
void FakeUpdate() { fake::Update(); }
void FakeSelectHardware(std::int32_t hardware) { fake::SelectHardware(hardware); }
void FakeHardwareName(std::int32_t hardware, char* buffer, std::int32_t size) {
  fake::HardwareName(hardware, buffer, size);
}
std::int32_t FakeGetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot,
                            void* record) {
  return fake::GetReading(sensor_class, hardware, slot, record);
}

// Test and DLL share one compiler and one C runtime heap, so the C++ types
// cross as they are.
void FakeProgram(const fake::Scenario& scenario) { fake::Program(scenario); }
void FakeCalls(std::vector<fake::Call>& out) { out = fake::Calls(); }

}  // extern "C"
