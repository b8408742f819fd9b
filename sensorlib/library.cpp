#include "sensorlib/library.h"

#include <span>
#include <string>
#include <utility>

#include "sensorlib/merge.h"

namespace sensorlib {

Library::Library(DetectSources detect, Clock clock, std::chrono::milliseconds look_again)
    : detect_(std::move(detect)), clock_(std::move(clock)), look_again_(look_again) {}

Library::Library(std::vector<std::unique_ptr<SensorSource>> sources, Clock clock)
    : clock_(std::move(clock)), look_again_(kLookAgainEvery) {
  for (auto& source : sources) sources_.push_back({{"source", std::move(source), "given", {}}});
}

// The watch must end before the sources it looks at.
Library::~Library() { StopWatch(); }

void Library::Rebuild() {
  std::vector<SourceItems> collected;
  const Moment moment{clock_(), updates_};
  for (auto& entry : sources_) {
    entry.readings = 0;
    if (!entry.detected.source) continue;
    SourceItems items{entry.detected.name, {}};
    entry.detected.source->Collect(moment, items.items);
    for (const SnapshotItem& item : items.items) entry.readings += item.readings.size();
    collected.push_back(std::move(items));
  }
  snapshot_ = Snapshot(MergeSources(std::move(collected)));
}

// The flags select nothing yet: every source found is taken up.
std::int32_t Library::Init(std::uint32_t /*flags*/) {
  bool watch = false;
  {
    std::lock_guard lock(mutex_);
    ++generation_;
    if (detect_) {
      sources_.clear();
      for (DetectedSource& found : detect_()) sources_.push_back({std::move(found)});
    }
    for (auto& entry : sources_) {
      if (entry.detected.source) entry.detected.source->Open();
      watch = watch || static_cast<bool>(entry.detected.look_again);
    }
    open_ = true;
    sources_changed_ = false;
    updates_ = 0;
    Rebuild();
  }
  if (watch) StartWatch();
  return 0;
}

void Library::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    ++generation_;
    open_ = false;
    snapshot_ = Snapshot();
  }
  StopWatch();
  std::lock_guard lock(mutex_);
  // Detected sources go with what they hold open (files, mappings, nvml.dll,
  // WMI); the next SensorInit detects them again.
  if (detect_) sources_.clear();
}

void Library::StartWatch() {
  if (watch_.joinable()) return;
  watch_ = std::jthread([this](std::stop_token stop) { Watch(std::move(stop)); });
}

void Library::StopWatch() {
  if (!watch_.joinable()) return;
  watch_.request_stop();
  wake_.notify_all();
  watch_.join();
  watch_ = std::jthread();
}

void Library::Watch(std::stop_token stop) {
  while (!stop.stop_requested()) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, stop, look_again_, [] { return false; });
      if (stop.stop_requested()) return;
    }
    // Nothing a source throws may end the process from this thread.
    try {
      LookAgain();
    } catch (...) {
    }
  }
}

void Library::LookAgain() {
  std::vector<std::pair<std::size_t, std::function<DetectedSource()>>> wanted;
  std::uint64_t generation = 0;
  {
    std::lock_guard lock(mutex_);
    if (!open_) return;
    generation = generation_;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
      DetectedSource& detected = sources_[i].detected;
      if (!detected.look_again) continue;
      if (detected.source && detected.source->Gone()) {
        // The next update's snapshot goes on without it: the next source in
        // the order of precedence takes its place.
        detected.source.reset();
        sources_[i].readings = 0;
        detected.why =
            "went away; looked for again every " + std::to_string(look_again_.count() / 1000) + " s";
        sources_changed_ = true;
      }
      if (!detected.source) wanted.emplace_back(i, detected.look_again);
    }
  }
  // Detection may take a WMI connection or load a DLL: never under the lock
  // the passes take.
  for (auto& [index, look] : wanted) {
    DetectedSource found = look();
    if (found.source) found.source->Open();
    std::lock_guard lock(mutex_);
    if (generation != generation_ || !open_) return;
    DetectedSource& detected = sources_[index].detected;
    if (detected.source) continue;
    if (!found.look_again) found.look_again = std::move(detected.look_again);
    sources_changed_ = sources_changed_ || static_cast<bool>(found.source);
    detected = std::move(found);
  }
}

std::int32_t Library::HardwareCount() {
  std::lock_guard lock(mutex_);
  if (!open_) return 0;
  bool changed = std::exchange(sources_changed_, false);
  for (auto& entry : sources_) {
    if (entry.detected.source) changed = entry.detected.source->Changed() || changed;
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
    const DetectedSource& detected = entry.detected;
    if (!detected.source) {
      text += detected.name + "\tabsent\t" + detected.why + "\n";
    } else if (entry.readings == 0) {
      text += detected.name + "\tabsent\t" + detected.source->WhyNoReading() + "\n";
    } else if (const auto missing = detected.source->WhatIsMissing()) {
      text += detected.name + "\tabsent\t" + *missing + "\n";
    } else {
      text += detected.name + "\tfound\t" + detected.why + "\n";
    }
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
