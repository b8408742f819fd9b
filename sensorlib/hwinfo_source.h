// Readings of a running HWiNFO, copied out of its shared-memory block once
// per update (the copy is what gets checked and parsed, so HWiNFO rewriting
// the block meanwhile cannot move a section after its check).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "sensorlib/sensor_source.h"

namespace sensorlib {

class HwinfoSource final : public SensorSource {
 public:
  // The block's bytes as mapped now; nothing when it cannot be read.
  using ReadBlock = std::function<std::optional<std::vector<std::byte>>()>;
  explicit HwinfoSource(ReadBlock read) : read_(std::move(read)) {}

  void Open() override {}
  // Every update reads the whole block anyway.
  bool Changed() override { return false; }
  void Collect(const Moment& moment, std::vector<SnapshotItem>& items) override;
  // HWiNFO marks its block "DEAD" when it ends (or its shared memory support
  // is switched off); a block that no longer parses is as good as gone.
  bool Gone() override { return !last_parsed_; }

 private:
  ReadBlock read_;
  bool last_parsed_ = true;
};

}  // namespace sensorlib
