// NVML through plain function pointers, as nvml.dll's would be bound: what
// becomes of each card and each failing call.
#include "sensorlib/nvml_source.h"

#include <gtest/gtest.h>

#include <cstring>

#include "sensorlib/kinds.h"

namespace sensorlib {
namespace {

struct Scenario {
  int init_error = 0;
  unsigned count = 2;
  unsigned temperature = 64;
  int temperature_error = 0;
  int shutdowns = 0;
};
Scenario g;
int cards[2];

NvmlApi Api() {
  NvmlApi api;
  api.init = [] { return g.init_error; };
  api.shutdown = [] { return ++g.shutdowns, 0; };
  api.device_count = [](unsigned* count) { return *count = g.count, 0; };
  api.device_by_index = [](unsigned index, NvmlApi::Device* device) {
    if (index >= 2) return 2;
    *device = &cards[index];
    return 0;
  };
  api.device_name = [](NvmlApi::Device device, char* name, unsigned length) {
    // The second card's name fills the buffer without a NUL.
    if (device == &cards[1]) {
      std::memset(name, 'Q', length);
      return 0;
    }
    std::strncpy(name, "Tesla T4", length);
    return 0;
  };
  api.temperature = [](NvmlApi::Device, int sensor, unsigned* celsius) {
    *celsius = g.temperature;
    return sensor == 0 ? g.temperature_error : 2;
  };
  return api;
}

TEST(Nvml, CardsFailuresAndRelease) {
  g = {};
  bool released = false;
  NvmlStart started = StartNvml(Api(), [&] { released = true; });
  ASSERT_TRUE(started.source);
  EXPECT_EQ(started.why, "2 NVIDIA cards through nvml.dll");
  std::vector<SnapshotItem> items;
  started.source->Collect({}, items);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].kind, kKindGraphics);
  EXPECT_EQ(items[0].name, "NVIDIA Tesla T4");  // dedicated by the program's markers
  EXPECT_EQ(items[1].name, "NVIDIA " + std::string(96, 'Q'));
  ASSERT_EQ(items[0].readings.size(), 1u);  // no utilization or fan entry points
  EXPECT_EQ(items[0].readings[0].label, "GPU Temperature");
  EXPECT_EQ(items[0].readings[0].value, 64);

  // A failing or impossible temperature gives no reading, the card stays.
  g.temperature = 4000;
  items.clear();
  started.source->Collect({}, items);
  EXPECT_TRUE(items[0].readings.empty());
  g.temperature_error = 999;
  g.temperature = 50;
  items.clear();
  started.source->Collect({}, items);
  EXPECT_TRUE(items[1].readings.empty());

  EXPECT_FALSE(released);
  started.source.reset();
  EXPECT_EQ(g.shutdowns, 1);
  EXPECT_TRUE(released);

  g = {};
  g.init_error = 3;
  released = false;
  started = StartNvml(Api(), [&] { released = true; });
  EXPECT_FALSE(started.source);
  EXPECT_EQ(started.why, "nvmlInit failed with 3");
  EXPECT_TRUE(released);
  EXPECT_EQ(g.shutdowns, 0);

  g = {};
  g.count = 0;
  started = StartNvml(Api(), {});
  EXPECT_FALSE(started.source);
  EXPECT_EQ(started.why, "NVML reports no NVIDIA card");
  EXPECT_EQ(g.shutdowns, 1);
}

}  // namespace
}  // namespace sensorlib
