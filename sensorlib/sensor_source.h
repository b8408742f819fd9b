// Where readings come from. The library asks each source for its hardware
// items at every update and answers queries from what they gave.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sensorlib/script.h"

namespace sensorlib {

struct SnapshotReading {
  int sensor_class = 0;
  int slot = 0;
  double value = 0;
  std::string label;
};

struct SnapshotItem {
  int kind = 0;
  std::string name;
  std::vector<SnapshotReading> readings;
  std::string source;  // set by the library: the source that gave the item
};

class SensorSource {
 public:
  virtual ~SensorSource() = default;
  // Takes up the source (again); problems go to the library's log.
  virtual void Open() = 0;
  // Whether the set of items changed since the last Collect, looked at once
  // per read pass, so it must be cheap.
  virtual bool Changed() = 0;
  // Appends this source's items with their values at the given moment.
  virtual void Collect(const Moment& moment, std::vector<SnapshotItem>& items) = 0;
  // Whether the program behind the source has ended (HWiNFO closed, the WMI
  // namespace removed), so the source is to be dropped and looked for
  // again. Asked every few seconds, under the library's lock: cheap.
  virtual bool Gone() { return false; }
  // Why the source gave no reading, for `ostrelctl sources`.
  virtual std::string WhyNoReading() const { return "gives no reading"; }
  // What the source lacks although it gave readings, when that is what it
  // is there for; `ostrelctl sources` then calls it absent.
  virtual std::optional<std::string> WhatIsMissing() const { return std::nullopt; }
};

}  // namespace sensorlib
