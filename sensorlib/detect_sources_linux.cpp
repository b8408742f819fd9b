#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "sensorlib/cpu_choice_store.h"
#include "sensorlib/detect_sources.h"
#include "sensorlib/host_files.h"
#include "sensorlib/hwmon_source.h"
#include "sensorlib/linked_entry_points.h"
#include "sensorlib/nvml_loader_posix.h"
#include "sensorlib/script_location.h"
#include "sensorlib/source_plan.h"

namespace sensorlib {

namespace {

// OSTREL_SYSFS_ROOT stands in for the host's "/" (a test tree).
std::string HostRoot() {
  const char* root = std::getenv("OSTREL_SYSFS_ROOT");
  return root ? root : "";
}

DetectedSource DetectHwmon(const std::string& root) {
  auto files = MakeHostFiles();
  if (auto why = HwmonSource::WhyAbsent(root, *files)) return {"hwmon", nullptr, *why};
  // Natively a listing and a look at each chip's first file cost a few
  // microseconds (under Wine some hundred, hence every fifth pass there):
  // every pass, so a chip that comes or goes, or a test tree's file replaced
  // by rename, is seen at the next second.
  auto source = std::make_unique<HwmonSource>(root, std::move(files), 1);
  source->FollowCpuChoice(&CurrentCpuChoice);
  return {"hwmon", std::move(source),
          root + "/sys/class/hwmon, " + root + "/sys/class/thermal and " + root + "/proc/stat" +
              (root.empty() ? "" : " (OSTREL_SYSFS_ROOT)")};
}

}  // namespace

// The daemon reads the host it runs on: NVML where the NVIDIA driver is, and
// the kernel's hwmon chips, thermal zones and processor times.
std::vector<DetectedSource> DetectSourcesOfThisMachine(const Log& log) {
  ScriptLocation where = LocateScript();
  std::error_code error;
  const bool beside = !where.from_variable && std::filesystem::is_regular_file(where.path, error);
  const std::string root = HostRoot();
  const SourcePlan plan = ChooseSources(where.from_variable, !root.empty(), beside);

  std::vector<DetectedSource> found;
  if (plan.script) {
    found.push_back({"script", std::make_unique<ScriptedSource>(where.path, where.how_found, log),
                     where.path.string() + " (" + plan.why + ")"});
  } else {
    found.push_back({"script", nullptr, plan.why});
  }
  if (plan.script) {
    for (const char* name : {"nvml", "hwmon"}) {
      found.push_back({name, nullptr, "not looked for: the sensor script stands in for the machine"});
    }
    return found;
  }
  found.push_back(DetectNvml());
  found.push_back(DetectHwmon(root));
  return found;
}

bool SetCpuSensorChoice(std::string_view choice, std::string& why) noexcept {
  try {
    why.clear();
    std::optional<CpuSensorChoice> parsed;
    if (!choice.empty()) {
      parsed = ParseCpuSensorChoice(choice, why);
      if (parsed && !HwmonSource::HasChosenInput(HostRoot(), MakeHostFiles(), *parsed, why)) parsed.reset();
    }
    // An unknown choice leaves the automatic rules in charge.
    StoreCpuChoice(parsed);
    return choice.empty() || parsed.has_value();
  } catch (const std::exception& e) {
    why = std::string("cpu_sensor: ") + e.what();
  } catch (...) {
    why = "cpu_sensor: unexpected failure";
  }
  StoreCpuChoice(std::nullopt);
  return false;
}

}  // namespace sensorlib
