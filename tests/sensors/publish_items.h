// What the program's pass would publish from a source's items: every
// temperature reading, in list order, through the name rules.
#pragma once

#include <vector>

#include "sensorlib/kinds.h"
#include "sensorlib/sensor_source.h"
#include "sensors/hardware_block.h"
#include "sensors/name_rules.h"

namespace sensors_test {

inline ostrel::sensors::BlockUpdate Publish(const std::vector<sensorlib::SnapshotItem>& items) {
  ostrel::sensors::PassResults results;
  for (int h = 0; h < static_cast<int>(items.size()); ++h) {
    for (const auto& r : items[h].readings) {
      if (r.sensor_class != sensorlib::kClassTemperature) continue;
      ostrel::sensors::ApplyTemperatureRules(
          results, {items[h].kind, r.label, items[h].name, static_cast<float>(r.value), {h, r.slot}});
    }
  }
  return ostrel::sensors::DecideBlockUpdate(results);
}

}  // namespace sensors_test
