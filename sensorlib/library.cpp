#include "sensorlib/library.h"

#include <span>

namespace sensorlib {

Library::Library(std::vector<std::unique_ptr<SensorSource>> sources, Clock clock)
    : sources_(std::move(sources)), clock_(std::move(clock)) {}

void Library::Rebuild() {
  std::vector<SnapshotItem> items;
  const Moment moment{clock_(), updates_};
  for (auto& source : sources_) source->Collect(moment, items);
  snapshot_ = Snapshot(std::move(items));
}

// The flags select nothing yet: every source is always taken up.
std::int32_t Library::Init(std::uint32_t /*flags*/) {
  std::lock_guard lock(mutex_);
  for (auto& source : sources_) source->Open();
  open_ = true;
  updates_ = 0;
  Rebuild();
  return 0;
}

void Library::Shutdown() {
  std::lock_guard lock(mutex_);
  open_ = false;
  snapshot_ = Snapshot();
}

std::int32_t Library::HardwareCount() {
  std::lock_guard lock(mutex_);
  if (!open_) return 0;
  bool changed = false;
  for (auto& source : sources_) changed = source->Changed() || changed;
  if (changed) Rebuild();
  return snapshot_.Count();
}

void Library::Update() {
  std::lock_guard lock(mutex_);
  if (!open_) return;
  Rebuild();
  ++updates_;
}

void Library::HardwareName(std::int32_t hardware, char* buffer, std::int32_t size) {
  if (!buffer || size <= 0) return;
  std::lock_guard lock(mutex_);
  snapshot_.CopyName(hardware, {buffer, static_cast<std::size_t>(size)});
}

std::int32_t Library::GetReading(std::int32_t sensor_class, std::int32_t hardware, std::int32_t slot,
                                 void* record) {
  if (!record) return 0;
  std::lock_guard lock(mutex_);
  const Answer answer =
      snapshot_.Read(sensor_class, hardware, slot,
                     std::span<std::byte, kRecordSize>(static_cast<std::byte*>(record), kRecordSize));
  return answer == Answer::Unknown ? 0 : 1;
}

}  // namespace sensorlib
