#include "tests/sensors/fake_library.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace fake {
namespace {

constexpr std::size_t kRecordSize = 464;

std::mutex g_mutex;
Scenario g_scenario;
std::vector<Call> g_calls;

void Log(Call call) {
  std::lock_guard lock(g_mutex);
  g_calls.push_back(call);
}

}  // namespace

void Program(const Scenario& scenario) {
  std::lock_guard lock(g_mutex);
  g_scenario = scenario;
  g_calls.clear();
}

std::vector<Call> Calls() {
  std::lock_guard lock(g_mutex);
  return g_calls;
}

std::int32_t Init(std::uint32_t flags) {
  Log({Entry::Init, static_cast<std::int32_t>(flags)});
  return g_scenario.init_result;
}

void Uncalled() {}

std::int32_t HardwareCount() {
  Log({Entry::Count});
  return g_scenario.count_from_items ? static_cast<std::int32_t>(g_scenario.items.size()) : g_scenario.count;
}

void Update() { Log({Entry::Update}); }

void SelectHardware(std::int32_t hardware) { Log({Entry::Select, hardware}); }

void HardwareName(std::int32_t hardware, char* buffer, std::int32_t size) {
  Log({Entry::Name, hardware, size});
  if (hardware < 0 || hardware >= static_cast<std::int32_t>(g_scenario.items.size()) || size <= 0) return;
  const Item& item = g_scenario.items[hardware];
  if (item.name_without_nul) {
    std::memset(buffer, 'N', static_cast<std::size_t>(size));
    return;
  }
  const std::size_t n = std::min(item.name.size(), static_cast<std::size_t>(size) - 1);
  std::memcpy(buffer, item.name.data(), n);
  buffer[n] = '\0';
}

std::int32_t GetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot, void* record) {
  auto* bytes = static_cast<unsigned char*>(record);
  Call call{Entry::Reading, sensor_class, hardware, slot};
  call.record_zero = std::all_of(bytes, bytes + kRecordSize, [](unsigned char b) { return b == 0; });
  Log(call);
  if (hardware < 0 || hardware >= static_cast<std::int32_t>(g_scenario.items.size())) return 0;
  for (const Reading& r : g_scenario.items[hardware].readings) {
    if (r.sensor_class != sensor_class || r.slot != slot) continue;
    std::memcpy(bytes + 0, &r.present, 4);
    std::memcpy(bytes + 8, &r.value, 8);
    std::memcpy(bytes + 48, &r.kind, 4);
    if (r.label_without_nul) {
      std::memset(bytes + 328, 'L', 136);
    } else {
      std::memset(bytes + 328, 0, 136);
      std::memcpy(bytes + 328, r.label.data(), std::min<std::size_t>(r.label.size(), 135));
    }
    return 1;
  }
  return 0;
}

}  // namespace fake
