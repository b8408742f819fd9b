#include "sensorlib/hwinfo_source.h"

#include "sensorlib/hwinfo_block.h"

namespace sensorlib {

void HwinfoSource::Collect(const Moment&, std::vector<SnapshotItem>& items) {
  const auto bytes = read_();
  last_parsed_ = false;
  if (!bytes) return;
  const HwinfoParse parsed = ParseHwinfoBlock(*bytes);
  if (!parsed.block) return;
  last_parsed_ = true;
  for (SnapshotItem& item : HwinfoItems(*parsed.block)) items.push_back(std::move(item));
}

}  // namespace sensorlib
