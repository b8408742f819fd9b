// ostrelctl sensors: one read pass as the program runs it, then every
// reading it saw and where each published value came from. Answers "which
// sensor did it pick, and why?". Beside a running program it only reads:
// writing into the live block would change what that program publishes.
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "common/printable.h"
#include "sensors/hardware_block.h"
#include "sensors/sensor_reader.h"
#include "tools/ostrelctl/command.h"
#include "tools/ostrelctl/system_access.h"

namespace ostrelctl {
namespace {

using namespace ostrel::sensors;

struct SeenReading {
  int hardware, sensor_class, slot, kind;
  std::string label;
  double value;
};

class Recorder final : public PassObserver {
 public:
  void OnHardware(int hardware, std::string_view name) noexcept override {
    try {
      if (static_cast<int>(names.size()) <= hardware) names.resize(hardware + 1);
      names[hardware] = ostrel::Printable(name);
    } catch (const std::bad_alloc&) {
      incomplete = true;
    }
  }
  void OnReading(const ObservedReading& r) noexcept override {
    try {
      readings.push_back({r.hardware, r.sensor_class, r.slot, r.kind, ostrel::Printable(r.label), r.value});
    } catch (const std::bad_alloc&) {
      incomplete = true;
    }
  }
  void OnPassEnd(const PassOutcome& o) noexcept override { outcome = o; }

  std::vector<std::string> names;
  std::vector<SeenReading> readings;
  PassOutcome outcome;
  bool incomplete = false;
};

const char* ClassName(int sensor_class) {
  switch (sensor_class) {
    case kClassTemperature:
      return "temperature";
    case kClassVoltage:
      return "voltage";
    case kClassFan:
      return "fan";
    case kClassClock:
      return "clock";
    case kClassLoad:
      return "load";
  }
  return "?";
}

int Length(std::string_view s) { return static_cast<int>(s.size()); }

// The source that gave each item, from the library's diagnostic export;
// "-" where the library has none (an outside one).
std::vector<std::string> ItemSources(const std::string& library, std::size_t count) {
  std::vector<std::string> sources(count, "-");
  const auto diagnostics = LoadSensorDiagnostics(library);
  const auto source = diagnostics ? diagnostics->hardware_source : nullptr;
  if (!source) return sources;
  for (std::size_t h = 0; h < count; ++h) {
    char name[64] = {};
    source(static_cast<std::int32_t>(h), name, sizeof name);
    if (name[0]) sources[h] = name;
  }
  return sources;
}

void PrintReadings(const Recorder& seen, const std::vector<std::string>& sources) {
  std::printf("\n%zu hardware items, %zu readings:\n", seen.names.size(), seen.readings.size());
  for (std::size_t h = 0; h < seen.names.size(); ++h) {
    std::printf("  [%zu] %-8s %s\n", h, h < sources.size() ? sources[h].c_str() : "-", seen.names[h].c_str());
    for (const auto& r : seen.readings) {
      if (r.hardware != static_cast<int>(h)) continue;
      std::printf("        kind %-3d %-11s slot %-3d %-32s %10.2f\n", r.kind, ClassName(r.sensor_class),
                  r.slot, r.label.c_str(), r.value);
    }
  }
  if (seen.incomplete) std::printf("  (out of memory: the list above is incomplete)\n");
}

std::string Origin(const Recorder& seen, const FieldWrite& w) {
  if (!w.origin) return "no reading matched";
  if (w.cleared) return "set to 0: a " + std::string(ResultName(*w.origin)) + " was found";
  std::string text = "from ";
  const int h = w.source.hardware;
  text += "[" + std::to_string(h) + "] ";
  if (h >= 0 && h < static_cast<int>(seen.names.size())) text += "\"" + seen.names[h] + "\" ";
  text += "temperature slot " + std::to_string(w.source.slot);
  for (const auto& r : seen.readings) {
    if (r.hardware == h && r.slot == w.source.slot && r.sensor_class == kClassTemperature) {
      text += " \"" + r.label + "\"";
      break;
    }
  }
  return text + " (" + std::string(ResultName(*w.origin)) + ")";
}

void PrintPublished(const SensorReader& reader, const Recorder& seen) {
  const PassOutcome& o = seen.outcome;
  if (o.end == PassEnd::NotBound) {
    std::printf("\nThe sensor library is not bound: nothing was read or published.\n");
    return;
  }
  if (o.end == PassEnd::NoHardware) {
    std::printf("\nThe sensor library reports no hardware: nothing was published.\n");
    return;
  }
  if (!o.published) {
    std::printf("\nThe block is not mapped; the pass would have written:\n");
  } else {
    std::printf("\nThe block \"%s\"%s now holds:\n", BlockShownName(),
                reader.BlockCreated() ? " (created by this command: it goes when the command ends)" : "");
  }
  for (BlockField field : kBlockFields) {
    const FieldWrite& w = o.update[field];
    const std::string_view name = BlockFieldName(field);
    char value[32] = "-";
    if (o.published) {
      std::snprintf(value, sizeof value, "%.1f", reader.BlockValue(field));
    } else if (w.write) {
      std::snprintf(value, sizeof value, "%.1f", w.value);
    }
    std::printf("  %-26.*s offset %3zu %8s  %s%s\n", Length(name), name.data(),
                static_cast<std::size_t>(field), value, Origin(seen, w).c_str(),
                !w.write && o.published ? ": kept its value" : "");
  }
}

}  // namespace

int RunSensors(Args args) {
  std::string library(kLibraryFileName);
  bool publish = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--library" && i + 1 < args.size()) {
      library = args[++i];
    } else if (args[i] == "--publish") {
      publish = true;
    } else {
      std::fprintf(stderr, "ostrelctl sensors: unknown argument '%s'\n", ostrel::Printable(args[i]).c_str());
      return 2;
    }
  }
  SensorReader reader(library);
  Recorder seen;
  reader.SetPassObserver(&seen);
  if (!publish && BlockExists()) {
    std::printf(
        "The hardware block \"%s\" exists (is %s running?): reading without publishing"
        " (--publish writes into it).\n",
        BlockShownName(), PublisherName());
  } else if (!reader.MapHardwareBlock()) {
    std::printf("The hardware block \"%s\" could not be mapped.\n", BlockShownName());
  }
  reader.ReadSensors();
  reader.SetPassObserver(nullptr);
  if (seen.outcome.end != PassEnd::NotBound) PrintReadings(seen, ItemSources(library, seen.names.size()));
  PrintPublished(reader, seen);
  return seen.outcome.end == PassEnd::NotBound ? 1 : 0;
}

}  // namespace ostrelctl
