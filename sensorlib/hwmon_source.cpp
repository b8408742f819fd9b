#include "sensorlib/hwmon_source.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <tuple>

#include "sensorlib/kinds.h"
#include "sensorlib/script.h"
#include "sensorlib/thermal_zones.h"

namespace sensorlib {
namespace {

// A value file holds a number and a newline; a name or label one short line.
constexpr std::size_t kValueLimit = 64;
// The summary line comes first in /proc/stat and is far shorter than this.
constexpr std::size_t kStatHead = 1024;
constexpr std::size_t kTextLimit = 512;
// /proc/cpuinfo of a 512-thread machine stays well below this.
constexpr std::size_t kCpuinfoLimit = 4 << 20;
// Files that appear inside a chip folder, or come back after failing, are
// picked up at least this often (in updates, about five minutes): finding
// the layout again opens every file anew, some 15 ms under Wine.
constexpr int kRediscoverEvery = 300;
// A folder with more files than this is not a hwmon chip.
constexpr std::size_t kMaxFilesPerChip = 4096;
constexpr std::size_t kMaxChips = 256;
// Every this many chip listings, every open file is asked whether it was
// removed.
constexpr int kSweepEvery = 6;

// The place of an item that comes from no hwmon chip folder.
constexpr std::size_t kNotAChip = static_cast<std::size_t>(-1);

// "hwmon10" after "hwmon9".
bool NaturalLess(const std::string& a, const std::string& b) {
  const auto split = [](const std::string& s) {
    std::size_t i = s.size();
    while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9') --i;
    const std::string digits = s.substr(i);
    return std::make_tuple(s.substr(0, i), digits.size(), digits);
  };
  return split(a) < split(b);
}

// Processors first (by package), then graphics, the board chips before the
// ACPI zone (the first "Motherboard" wins), drives, the rest.
int Rank(const MappedChip& chip) {
  switch (chip.kind) {
    case kKindProcessor:
      return 0;
    case kKindGraphics:
      return 1;
    case kKindMainboard:
      return chip.name == "ACPI Thermal Zone" ? 3 : 2;
    case kKindDrive:
      return 4;
  }
  return 5;
}

}  // namespace

HwmonSource::HwmonSource(std::string root, std::unique_ptr<HostFiles> files, int list_every)
    : root_(std::move(root)), files_(std::move(files)), list_every_(std::max(1, list_every)) {
  while (!root_.empty() && (root_.back() == '/' || root_.back() == '\\')) root_.pop_back();
}

std::optional<std::string> HwmonSource::WhyAbsent(const std::string& root, HostFiles& files) {
  const bool hwmon = files.List(root + "/sys/class/hwmon").has_value() ||
                     files.List(root + "/sys/class/thermal").has_value();
  const bool stat = files.Open(root + "/proc/stat") != nullptr;
  if (hwmon || stat) return std::nullopt;
  return "neither " + root + "/sys/class/hwmon, " + root + "/sys/class/thermal nor " + root +
         "/proc/stat can be read";
}

void HwmonSource::Open() {
  stale_ = true;
  last_times_.reset();
  last_load_.reset();
  Discover();
}

std::optional<std::vector<std::string>> HwmonSource::ListChips() {
  // Looked up afresh each time: Wine keeps what it listed of an open folder
  // and a restarted scan does not see new entries.
  auto names = files_->List(root_ + "/sys/class/hwmon");
  if (!names) return std::nullopt;
  if (names->size() > kMaxChips) names->resize(kMaxChips);
  std::sort(names->begin(), names->end(), NaturalLess);
  return names;
}

bool HwmonSource::Changed() {
  if (choice_feed_) {
    if (auto now = choice_feed_(); now != choice_) {
      choice_ = std::move(now);
      stale_ = true;
    }
  }
  if (stale_ || ++passes_since_listing_ < list_every_) return stale_;
  passes_since_listing_ = 0;
  const auto now = ListChips();
  if (now.value_or(std::vector<std::string>{}) != chips_ || EmptyChipFilled()) stale_ = true;
  // Asking a file whether it was removed costs about 20 us under Wine: a
  // chip's first file every time (a chip removed as a whole), every file now
  // and then (one file removed from a fake tree).
  const bool every_file = ++listings_since_sweep_ >= kSweepEvery;
  if (every_file) listings_since_sweep_ = 0;
  for (const Item& item : items_) {
    for (const Sensor& sensor : item.sensors) {
      stale_ = stale_ || sensor.file->Gone();
      if (!every_file) break;
    }
  }
  return stale_;
}

std::optional<ChipFacts> HwmonSource::ReadChip(const std::string& folder) {
  auto files = files_->List(folder);
  if (!files || files->size() > kMaxFilesPerChip) return std::nullopt;
  const auto text = [&](const std::string& path, std::size_t max_length) {
    const auto content = files_->Read(path, kTextLimit);
    return content ? CleanSysfsText(*content, max_length) : std::string();
  };
  ChipFacts facts;
  facts.chip = text(folder + "/name", 64);
  for (const std::string& file : *files) {
    const auto input = ParseHwmonInputName(file);
    if (!input) continue;
    facts.inputs.push_back({*input, text(folder + "/" + HwmonPrefix(*input) + "_label", kMaxLabelLength)});
  }
  std::sort(facts.inputs.begin(), facts.inputs.end(), [](const ChipInput& a, const ChipInput& b) {
    return std::tie(a.input.quantity, a.input.index) < std::tie(b.input.quantity, b.input.index);
  });
  if (facts.chip == "nvme" || facts.chip == "drivetemp") {
    facts.device_model = text(folder + "/device/model", kMaxNameLength);
  } else if (facts.chip == "amdgpu") {
    facts.product_name = text(folder + "/device/product_name", kMaxNameLength);
    if (const auto vram = files_->Read(folder + "/device/mem_info_vram_total", kValueLimit)) {
      facts.vram = ParseSysfsInteger(*vram);
    }
  }
  if (facts.chip == "amdgpu" || facts.chip == "radeon" || facts.chip == "nouveau") {
    facts.busy_percent = files_->Read(folder + "/device/gpu_busy_percent", kValueLimit).has_value();
  }
  return facts;
}

bool HwmonSource::EmptyChipFilled() {
  for (const std::string& folder : empty_chips_) {
    const auto names = files_->List(folder);
    if (names && std::any_of(names->begin(), names->end(),
                             [](const std::string& name) { return ParseHwmonInputName(name).has_value(); })) {
      return true;
    }
  }
  return false;
}

HwmonSource::ChipsRead HwmonSource::ReadChips() {
  ChipsRead chips;
  empty_chips_.clear();
  for (const std::string& entry : chips_) {
    std::string folder = root_ + "/sys/class/hwmon/" + entry;
    auto facts = ReadChip(folder);
    if (!facts) continue;
    if (facts->inputs.empty()) empty_chips_.push_back(folder);
    chips.facts.push_back(std::move(*facts));
    chips.folders.push_back(std::move(folder));
  }
  return chips;
}

// order: the chip's place in chips, which a chosen input is found by.
std::vector<HwmonSource::Found> HwmonSource::MapChips(const ChipsRead& chips,
                                                      const std::map<int, std::string>& models) {
  std::vector<Found> found;
  int processors = 0;
  for (std::size_t i = 0; i < chips.facts.size(); ++i) {
    auto chip = MapChip(chips.facts[i], processors, models);
    if (!chip) continue;
    if (chip->kind == kKindProcessor) ++processors;
    for (MappedReading& r : chip->readings) {
      r.path = chips.folders[i] + (r.quantity == HwmonQuantity::Load
                                       ? "/device/gpu_busy_percent"
                                       : "/" + HwmonPrefix({r.quantity, r.index}) + "_input");
    }
    found.push_back({std::move(*chip), i});
  }
  return found;
}

void HwmonSource::AddThermalZones(std::vector<Found>& found, const std::map<int, std::string>& models) {
  const std::string folder = root_ + "/sys/class/thermal";
  auto names = files_->List(folder);
  if (!names) return;
  std::sort(names->begin(), names->end(), NaturalLess);
  std::vector<ThermalZone> zones;
  for (const std::string& name : *names) {
    if (name.rfind("thermal_zone", 0) != 0 || zones.size() >= kMaxChips) continue;
    if (const auto type = files_->Read(folder + "/" + name + "/type", kTextLimit)) {
      zones.push_back({name, CleanSysfsText(*type, 64)});
    }
  }
  const auto any = [&](auto&& is) { return std::any_of(found.begin(), found.end(), is); };
  const bool processor = any([](const Found& f) { return f.chip.kind == kKindProcessor; });
  const bool acpi = any([](const Found& f) { return f.chip.name == "ACPI Thermal Zone"; });
  int packages = 0;
  for (const ThermalChip& zone_chip : ThermalChips(zones, !processor, !acpi)) {
    auto chip = MapChip(zone_chip.facts, packages, models);
    if (!chip) continue;
    if (chip->kind == kKindProcessor) ++packages;
    for (std::size_t i = 0; i < chip->readings.size(); ++i) {
      chip->readings[i].path = folder + "/" + zone_chip.folders[i] + "/temp";
    }
    found.push_back({std::move(*chip), kNotAChip});
  }
}

// The chosen input leaves its own item and becomes the last processor
// item's last reading, the one the program's rules take over every other.
void HwmonSource::PlaceChosenInput(std::vector<Found>& found, const ChipsRead& chips,
                                   const std::map<int, std::string>& models) {
  if (!choice_) return;
  std::string why;
  const auto chosen = FindChosenInput(*choice_, chips.facts, why);
  if (!chosen) return;
  const auto owner =
      std::find_if(found.begin(), found.end(), [&](const Found& f) { return f.order == chosen->chip; });
  if (owner == found.end() || chosen->input >= owner->chip.readings.size()) return;
  MappedReading reading = std::move(owner->chip.readings[chosen->input]);
  owner->chip.readings.erase(owner->chip.readings.begin() + static_cast<std::ptrdiff_t>(chosen->input));
  reading.label = std::string(kChosenCpuLabel);
  auto last = std::find_if(found.rbegin(), found.rend(),
                           [](const Found& f) { return f.chip.kind == kKindProcessor; });
  if (last == found.rend()) {
    found.insert(found.begin(), {LoadOnlyProcessor(models), kNotAChip});
    last = std::prev(found.rend());
  }
  last->chip.readings.push_back(std::move(reading));
}

bool HwmonSource::OpenStat() {
  stat_ = files_->Open(root_ + "/proc/stat");
  std::array<char, kStatHead> head;
  const bool has_stat = stat_ && stat_->ReadHead(head);
  if (!has_stat) stat_.reset();
  return has_stat;
}

void HwmonSource::BuildItems(const std::vector<Found>& found, bool has_stat) {
  const auto processors =
      std::count_if(found.begin(), found.end(), [](const Found& f) { return f.chip.kind == kKindProcessor; });
  bool load_placed = !has_stat;
  for (const Found& f : found) {
    Item item;
    item.kind = f.chip.kind;
    item.name = f.chip.name;
    if (f.chip.kind == kKindProcessor && processors > 1) {
      item.name = CleanSysfsText(item.name + " #" + std::to_string(f.chip.package + 1), kMaxNameLength);
    }
    int next_slot[kClassLoad + 1] = {};
    if (item.kind == kKindProcessor && !load_placed) {
      item.carries_load = true;
      load_placed = true;
      next_slot[kClassLoad] = 1;
    }
    for (const MappedReading& r : f.chip.readings) {
      Sensor sensor;
      sensor.file = files_->Open(r.path);
      sensor.quantity = r.quantity;
      sensor.sensor_class = r.sensor_class;
      sensor.label = r.label;
      // A file that does not answer now is left out until the next discovery.
      std::array<char, kValueLimit + 1> value;
      if (!sensor.file || !sensor.file->ReadHead(value)) continue;
      sensor.slot = next_slot[r.sensor_class]++;
      item.sensors.push_back(std::move(sensor));
    }
    if (!item.sensors.empty() || item.carries_load) items_.push_back(std::move(item));
  }
}

void HwmonSource::Discover() {
  stale_ = false;
  updates_since_discovery_ = 0;
  items_.clear();
  chips_ = ListChips().value_or(std::vector<std::string>{});

  std::map<int, std::string> models;
  if (const auto cpuinfo = files_->Read(root_ + "/proc/cpuinfo", kCpuinfoLimit)) {
    models = ParseCpuModels(*cpuinfo);
  }
  const ChipsRead chips = ReadChips();
  std::vector<Found> found = MapChips(chips, models);
  AddThermalZones(found, models);
  std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::make_tuple(Rank(a.chip), a.chip.kind == kKindProcessor ? a.chip.package : 0) <
           std::make_tuple(Rank(b.chip), b.chip.kind == kKindProcessor ? b.chip.package : 0);
  });
  PlaceChosenInput(found, chips, models);
  const bool has_stat = OpenStat();
  const bool processor =
      std::any_of(found.begin(), found.end(), [](const Found& f) { return f.chip.kind == kKindProcessor; });
  if (!processor && has_stat) found.insert(found.begin(), {LoadOnlyProcessor(models), kNotAChip});
  BuildItems(found, has_stat);
}

bool HwmonSource::HasChosenInput(const std::string& root, std::unique_ptr<HostFiles> files,
                                 const CpuSensorChoice& choice, std::string& why) {
  HwmonSource probe(root, std::move(files));
  probe.chips_ = probe.ListChips().value_or(std::vector<std::string>{});
  return FindChosenInput(choice, probe.ReadChips().facts, why).has_value();
}

std::optional<double> HwmonSource::ReadValue(const Sensor& sensor) {
  std::array<char, kValueLimit + 1> buffer;
  const auto n = sensor.file->ReadHead(buffer);
  if (!n) {
    // Gone or broken: find the layout again at the next update.
    stale_ = true;
    return std::nullopt;
  }
  if (*n > kValueLimit) return std::nullopt;
  const auto raw = ParseSysfsInteger({buffer.data(), *n});
  if (!raw) return std::nullopt;
  return ScaleHwmonValue(sensor.quantity, *raw);
}

std::optional<double> HwmonSource::CpuLoad() {
  std::array<char, kStatHead> head;
  const auto n = stat_ ? stat_->ReadHead(head) : std::nullopt;
  const auto times = n ? ParseProcStat({head.data(), *n}) : std::nullopt;
  if (!times) return std::nullopt;
  // The first sample has only the time since boot to go by.
  const auto load = LoadBetween(last_times_.value_or(CpuTimes{}), *times);
  last_times_ = times;
  if (load) last_load_ = load;
  return last_load_;
}

void HwmonSource::Collect(const Moment&, std::vector<SnapshotItem>& items) {
  if (stale_ || ++updates_since_discovery_ >= kRediscoverEvery) Discover();
  for (const Item& item : items_) {
    SnapshotItem out{item.kind, item.name, {}};
    out.readings.reserve(item.sensors.size() + 1);
    if (item.carries_load) {
      if (const auto load = CpuLoad()) out.readings.push_back({kClassLoad, 0, *load, "CPU Total"});
    }
    for (const Sensor& sensor : item.sensors) {
      if (const auto value = ReadValue(sensor)) {
        out.readings.push_back({sensor.sensor_class, sensor.slot, *value, sensor.label});
      }
    }
    items.push_back(std::move(out));
  }
}

}  // namespace sensorlib
