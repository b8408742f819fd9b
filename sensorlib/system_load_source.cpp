#include "sensorlib/system_load_source.h"

#include "sensorlib/kinds.h"

namespace sensorlib {

void SystemLoadSource::Collect(const Moment&, std::vector<SnapshotItem>& items) {
  if (const auto now = sample_()) {
    // The first sample has only the time since start-up to go by.
    if (const auto load = LoadBetween(last_.value_or(CpuTimes{}), *now)) load_ = load;
    last_ = now;
  }
  SnapshotItem item{kKindProcessor, name_, {}};
  if (load_) item.readings.push_back({kClassLoad, 0, *load_, "CPU Total"});
  items.push_back(std::move(item));
}

}  // namespace sensorlib
