#include "sensorlib/hwmon_map.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string_view>

#include "sensorlib/kinds.h"
#include "sensorlib/script.h"
#include "sensors/name_rules.h"

namespace sensorlib {
namespace {

enum class Role { AmdCpu, IntelCpu, AmdGpu, Radeon, Nouveau, Drive, SuperIo, AcpiZone, Other };

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The number after a prefix ("Core 3" → 3), or -1.
int NumberAfter(std::string_view text, std::string_view prefix) {
  if (!StartsWith(text, prefix) || !AllDigits(text.substr(prefix.size()))) return -1;
  int n = -1;
  const std::string_view digits = text.substr(prefix.size());
  if (digits.size() > 4) return -1;
  std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return n;
}

Role RoleOf(std::string_view chip) {
  if (chip == "k10temp" || chip == "zenpower") return Role::AmdCpu;
  if (chip == "coretemp") return Role::IntelCpu;
  if (chip == "amdgpu") return Role::AmdGpu;
  if (chip == "radeon") return Role::Radeon;
  if (chip == "nouveau") return Role::Nouveau;
  if (chip == "nvme" || chip == "drivetemp") return Role::Drive;
  if (chip == "acpitz") return Role::AcpiZone;
  // nct6775 and its relatives (nct6791, nct6798...), nct6683/6687, and the
  // it87 family, which names itself after the chip (it8728, it8792...).
  if ((StartsWith(chip, "nct6") && AllDigits(chip.substr(4))) || chip == "it87" ||
      (StartsWith(chip, "it8") && AllDigits(chip.substr(3)))) {
    return Role::SuperIo;
  }
  return Role::Other;
}

int ClassOf(HwmonQuantity q) {
  switch (q) {
    case HwmonQuantity::Temperature:
      return kClassTemperature;
    case HwmonQuantity::Voltage:
      return kClassVoltage;
    case HwmonQuantity::Fan:
      return kClassFan;
    case HwmonQuantity::Frequency:
      return kClassClock;
    case HwmonQuantity::Load:
      return kClassLoad;
  }
  return 0;
}

std::string Numbered(std::string_view what, int n) { return std::string(what) + " #" + std::to_string(n); }

std::string Generic(const ChipInput& in) {
  switch (in.input.quantity) {
    case HwmonQuantity::Temperature:
      return Numbered("Temperature", in.input.index);
    case HwmonQuantity::Voltage:
      return Numbered("Voltage", in.input.index);
    case HwmonQuantity::Fan:
      return Numbered("Fan", in.input.index);
    case HwmonQuantity::Frequency:
      return Numbered("Clock", in.input.index);
    case HwmonQuantity::Load:
      return Numbered("Load", in.input.index);
  }
  return {};
}

std::string LabelOr(const ChipInput& in) { return in.label.empty() ? Generic(in) : in.label; }

bool HasLabel(const ChipFacts& facts, std::string_view label) {
  for (const auto& in : facts.inputs) {
    if (in.input.quantity == HwmonQuantity::Temperature && in.label == label) return true;
  }
  return false;
}

// k10temp and zenpower: Tctl carries a fan-control offset on some parts
// (Threadripper 1000/2000, Ryzen 1000X), which then also report Tdie, the
// die's own temperature; Tdie is what a user calls the CPU temperature.
std::string AmdLabel(const ChipFacts& facts, const ChipInput& in) {
  if (in.input.quantity != HwmonQuantity::Temperature) return LabelOr(in);
  if (in.label == "Tdie") return "CPU (Tctl/Tdie)";
  if (in.label == "Tctl") return HasLabel(facts, "Tdie") ? "CPU (Tctl)" : "CPU (Tctl/Tdie)";
  if (const int ccd = NumberAfter(in.label, "Tccd"); ccd >= 0) return "CCD" + std::to_string(ccd) + " (Tdie)";
  if (in.label.empty() && in.input.index == 1) return "CPU (Tctl/Tdie)";
  return LabelOr(in);
}

std::string IntelLabel(const ChipInput& in, int& package) {
  if (in.input.quantity != HwmonQuantity::Temperature) return LabelOr(in);
  for (std::string_view prefix : {"Package id ", "Physical id "}) {
    if (const int id = NumberAfter(in.label, prefix); id >= 0) {
      package = id;
      return "CPU Package";
    }
  }
  if (const int core = NumberAfter(in.label, "Core "); core >= 0) return Numbered("CPU Core", core + 1);
  return LabelOr(in);
}

std::string GpuLabel(const ChipInput& in) {
  const std::string_view l = in.label;
  switch (in.input.quantity) {
    case HwmonQuantity::Temperature:
      if (l == "edge" || l.empty()) return "GPU Temperature";
      if (l == "junction") return "GPU Hot Spot";
      if (l == "mem") return "GPU Memory";
      break;
    case HwmonQuantity::Voltage:
      if (l == "vddgfx") return "GPU Core";
      if (l == "vddnb") return "GPU SoC";
      break;
    case HwmonQuantity::Fan:
      return in.input.index == 1 ? std::string("GPU Fan") : Numbered("GPU Fan", in.input.index);
    case HwmonQuantity::Frequency:
      if (l == "sclk") return "GPU Core";
      if (l == "mclk") return "GPU Memory";
      break;
    case HwmonQuantity::Load:
      break;
  }
  return LabelOr(in);
}

std::string DriveLabel(const ChipInput& in) {
  if (in.input.quantity != HwmonQuantity::Temperature) return LabelOr(in);
  if (in.label == "Composite") return "Composite Temperature";
  if (const int n = NumberAfter(in.label, "Sensor "); n >= 0) return Numbered("Temperature", n);
  if (in.label.empty() && in.input.index == 1) return "Temperature";
  return LabelOr(in);
}

// nct67xx names its inputs; it87 does not, and on the boards it sits on its
// first temperature input is the board's own sensor.
std::string SuperIoLabel(const ChipInput& in) {
  if (in.input.quantity != HwmonQuantity::Temperature) return LabelOr(in);
  if (in.label == "SYSTIN") return "Motherboard";
  if (in.label == "CPUTIN") return "CPU";
  if (const int n = NumberAfter(in.label, "AUXTIN"); n >= 0) return Numbered("Auxiliary", n);
  if (in.label.empty() && in.input.index == 1) return "Motherboard";
  // A chip's own label must not pose as one the rules pick.
  if (in.label == "CPU" || in.label.find("Motherboard") != std::string::npos) return Generic(in);
  return LabelOr(in);
}

std::string AcpiLabel(const ChipInput& in) {
  if (in.input.quantity == HwmonQuantity::Temperature && in.input.index == 1) return "Motherboard";
  return Generic(in);
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string SuperIoName(std::string_view chip) {
  return StartsWith(chip, "nct") ? "Nuvoton " + Upper(chip) : "ITE " + Upper(chip);
}

// amdgpu drives both Radeon cards and the graphics of Ryzen APUs; the
// carve-out of an APU stays well below the memory of any card. Without the
// memory file it is taken for a card, the common case on a desktop.
std::string AmdGpuName(const ChipFacts& facts) {
  constexpr std::int64_t kCardMemory = 2LL << 30;
  const bool card = !facts.vram || *facts.vram >= kCardMemory;
  if (!facts.product_name.empty() && ostrel::sensors::IsDedicatedAdapter(facts.product_name) == card) {
    return facts.product_name;
  }
  return card ? "AMD Radeon RX Graphics" : "AMD Radeon Graphics";
}

std::string ProcessorName(const std::map<int, std::string>& models, int package, std::string_view vendor) {
  if (const auto it = models.find(package); it != models.end()) return it->second;
  if (!models.empty()) return models.begin()->second;
  return std::string(vendor) + " Processor";
}

using Models = std::map<int, std::string>;

// What a role makes of a chip: the kind of its item, each input's label (a
// processor's labels may name its package), and the item's name.
struct RoleRule {
  int kind;
  bool graphics;
  std::string (*label)(const ChipFacts& facts, const ChipInput& in, int& package);
  std::string (*name)(const ChipFacts& facts, int package, const Models& models);
};

// In the order of Role.
constexpr RoleRule kRoles[] = {
    {kKindProcessor, false, [](const ChipFacts& f, const ChipInput& in, int&) { return AmdLabel(f, in); },
     [](const ChipFacts&, int package, const Models& m) { return ProcessorName(m, package, "AMD"); }},
    {kKindProcessor, false,
     [](const ChipFacts&, const ChipInput& in, int& package) { return IntelLabel(in, package); },
     [](const ChipFacts&, int package, const Models& m) { return ProcessorName(m, package, "Intel"); }},
    {kKindGraphics, true, [](const ChipFacts&, const ChipInput& in, int&) { return GpuLabel(in); },
     [](const ChipFacts& f, int, const Models&) { return AmdGpuName(f); }},
    {kKindGraphics, true, [](const ChipFacts&, const ChipInput& in, int&) { return GpuLabel(in); },
     [](const ChipFacts&, int, const Models&) { return std::string("AMD Radeon Graphics (radeon)"); }},
    {kKindGraphics, true, [](const ChipFacts&, const ChipInput& in, int&) { return GpuLabel(in); },
     [](const ChipFacts&, int, const Models&) { return std::string("NVIDIA Graphics (nouveau)"); }},
    {kKindDrive, false, [](const ChipFacts&, const ChipInput& in, int&) { return DriveLabel(in); },
     [](const ChipFacts& f, int, const Models&) {
       if (!f.device_model.empty()) return f.device_model;
       return std::string(f.chip == "nvme" ? "NVMe Drive" : "Drive");
     }},
    {kKindMainboard, false, [](const ChipFacts&, const ChipInput& in, int&) { return SuperIoLabel(in); },
     [](const ChipFacts& f, int, const Models&) { return SuperIoName(f.chip); }},
    {kKindMainboard, false, [](const ChipFacts&, const ChipInput& in, int&) { return AcpiLabel(in); },
     [](const ChipFacts&, int, const Models&) { return std::string("ACPI Thermal Zone"); }},
    {kKindOther, false, [](const ChipFacts&, const ChipInput& in, int&) { return LabelOr(in); },
     [](const ChipFacts& f, int, const Models&) { return f.chip.empty() ? std::string("hwmon") : f.chip; }},
};
static_assert(std::size(kRoles) == static_cast<std::size_t>(Role::Other) + 1);

// A card that names only its hot spot still has one temperature to show, and
// its busy file is its utilization.
void AddGraphicsReadings(const ChipFacts& facts, MappedChip& chip) {
  const auto temperature = [](const MappedReading& r) { return r.quantity == HwmonQuantity::Temperature; };
  const bool named = std::any_of(chip.readings.begin(), chip.readings.end(),
                                 [](const MappedReading& r) { return r.label == "GPU Temperature"; });
  if (!named) {
    const auto first = std::find_if(chip.readings.begin(), chip.readings.end(), temperature);
    if (first != chip.readings.end()) first->label = "GPU Temperature";
  }
  if (facts.busy_percent) chip.readings.push_back({kClassLoad, HwmonQuantity::Load, 0, "GPU Utilization"});
}

}  // namespace

std::optional<MappedChip> MapChip(const ChipFacts& facts, int ordinal, const Models& cpu_models) {
  const RoleRule& rule = kRoles[static_cast<std::size_t>(RoleOf(facts.chip))];
  MappedChip out;
  out.package = ordinal;
  for (const ChipInput& in : facts.inputs) {
    out.readings.push_back({ClassOf(in.input.quantity), in.input.quantity, in.input.index,
                            CleanSysfsText(rule.label(facts, in, out.package), kMaxLabelLength)});
  }
  if (rule.graphics) AddGraphicsReadings(facts, out);
  if (out.readings.empty()) return std::nullopt;
  out.kind = rule.kind;
  out.name = CleanSysfsText(rule.name(facts, out.package, cpu_models), kMaxNameLength);
  return out;
}

MappedChip LoadOnlyProcessor(const std::map<int, std::string>& cpu_models) {
  return {kKindProcessor, ProcessorName(cpu_models, 0, "Unknown"), 0, {}};
}

}  // namespace sensorlib
