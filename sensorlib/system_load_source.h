// The processor's load from the system's own counters (GetSystemTimes on
// Windows), for machines where no other source gives a processor: one
// processor item with a "CPU Total" load.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "sensorlib/proc_text.h"
#include "sensorlib/sensor_source.h"

namespace sensorlib {

class SystemLoadSource final : public SensorSource {
 public:
  using Sample = std::function<std::optional<CpuTimes>()>;
  SystemLoadSource(std::string processor_name, Sample sample)
      : name_(std::move(processor_name)), sample_(std::move(sample)) {}

  void Open() override { last_.reset(); }
  bool Changed() override { return false; }
  void Collect(const Moment& moment, std::vector<SnapshotItem>& items) override;

 private:
  std::string name_;
  Sample sample_;
  std::optional<CpuTimes> last_;
  std::optional<double> load_;
};

}  // namespace sensorlib
