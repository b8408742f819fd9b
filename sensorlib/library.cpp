#include "sensorlib/library.h"

#include <span>

#include "sensorlib/merge.h"

namespace sensorlib {

Library::Library(DetectSources detect, Clock clock) : detect_(std::move(detect)), clock_(std::move(clock)) {}

Library::Library(std::vector<std::unique_ptr<SensorSource>> sources, Clock clock) : clock_(std::move(clock)) {
  for (auto& source : sources) sources_.push_back({"source", std::move(source), "given"});
}

void Library::Rebuild() {
  std::vector<SourceItems> collected;
  const Moment moment{clock_(), updates_};
  for (auto& entry : sources_) {
    if (!entry.source) continue;
    SourceItems items{entry.name, {}};
    entry.source->Collect(moment, items.items);
    collected.push_back(std::move(items));
  }
  snapshot_ = Snapshot(MergeSources(std::move(collected)));
}

// The flags select nothing yet: every source found is taken up.
std::int32_t Library::Init(std::uint32_t /*flags*/) {
  std::lock_guard lock(mutex_);
  if (detect_) sources_ = detect_();
  for (auto& entry : sources_) {
    if (entry.source) entry.source->Open();
  }
  open_ = true;
  updates_ = 0;
  Rebuild();
  return 0;
}

void Library::Shutdown() {
  std::lock_guard lock(mutex_);
  open_ = false;
  snapshot_ = Snapshot();
  // Detected sources go with what they hold open (files, mappings, nvml.dll,
  // WMI); the next SensorInit detects them again.
  if (detect_) sources_.clear();
}

std::int32_t Library::HardwareCount() {
  std::lock_guard lock(mutex_);
  if (!open_) return 0;
  bool changed = false;
  for (auto& entry : sources_) {
    if (entry.source) changed = entry.source->Changed() || changed;
  }
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

void Library::HardwareSource(std::int32_t hardware, char* buffer, std::int32_t size) {
  if (!buffer || size <= 0) return;
  std::lock_guard lock(mutex_);
  snapshot_.CopySource(hardware, {buffer, static_cast<std::size_t>(size)});
}

std::string Library::DescribeSources() {
  std::lock_guard lock(mutex_);
  std::string text;
  for (const auto& entry : sources_) {
    text += entry.name + (entry.source ? "\tfound\t" : "\tabsent\t") + entry.why + "\n";
  }
  return text;
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
