#include <windows.h>

#include <filesystem>
#include <system_error>

#include "common/win/environment.h"
#include "common/win/text.h"
#include "sensorlib/detect_sources.h"
#include "sensorlib/host_files.h"
#include "sensorlib/hwinfo_mapping_win.h"
#include "sensorlib/hwmon_source.h"
#include "sensorlib/nvml_loader_win.h"
#include "sensorlib/script_location.h"
#include "sensorlib/source_plan.h"
#include "sensorlib/windows_sources_win.h"

namespace sensorlib {
namespace {

// Wine's ntdll exports this; Windows' does not.
bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

DetectedSource DetectHwinfoSource(const std::wstring&) { return DetectHwinfo(); }
DetectedSource DetectNvmlSource(const std::wstring&) { return DetectNvml(); }
DetectedSource DetectLhmSource(const std::wstring&) { return DetectLibreHardwareMonitor(); }
DetectedSource DetectAcpiSource(const std::wstring&) { return DetectAcpiThermalZones(); }
DetectedSource DetectSystemSource(const std::wstring&) { return DetectSystemTimes(); }

DetectedSource DetectHwmon(const std::wstring& variable) {
  const SysfsRoot root = ResolveSysfsRoot(ostrel::win::Narrow(variable), UnderWine());
  if (root.root.empty()) return {"hwmon", nullptr, root.why, {}};
  auto files = MakeHostFiles();
  if (auto why = HwmonSource::WhyAbsent(root.root, *files)) return {"hwmon", nullptr, *why, {}};
  return {"hwmon",
          std::make_unique<HwmonSource>(root.root, std::move(files)),
          root.root + "/sys/class/hwmon and /proc/stat (" + root.why + ")",
          {}};
}

}  // namespace

std::vector<DetectedSource> DetectSourcesOfThisMachine(const Log& log) {
  ScriptLocation where = LocateScript();
  std::error_code error;
  const bool beside = !where.from_variable && std::filesystem::is_regular_file(where.path, error);
  const std::wstring sysfs = ostrel::win::EnvironmentVariable(L"OSTREL_SYSFS_ROOT");
  const SourcePlan plan = ChooseSources(where.from_variable, !sysfs.empty(), beside);

  std::vector<DetectedSource> found;
  if (plan.script) {
    const std::u8string path = where.path.u8string();
    found.push_back({"script", std::make_unique<ScriptedSource>(where.path, where.how_found, log),
                     std::string(path.begin(), path.end()) + " (" + plan.why + ")"});
  } else {
    found.push_back({"script", nullptr, plan.why, {}});
  }
  using Detect = DetectedSource (*)(const std::wstring& sysfs_variable);
  static constexpr struct {
    const char* name;
    Detect detect;
  } kReal[] = {
      {"hwinfo", &DetectHwinfoSource}, {"librehardwaremonitor", &DetectLhmSource},
      {"nvml", &DetectNvmlSource},     {"hwmon", &DetectHwmon},
      {"acpi", &DetectAcpiSource},     {"system", &DetectSystemSource},
  };
  for (const auto& source : kReal) {
    found.push_back(plan.script
                        ? DetectedSource{source.name,
                                         nullptr,
                                         "not looked for: the sensor script stands in for the machine",
                                         {}}
                        : source.detect(sysfs));
  }
  // Programs the user may start or end while the library runs.
  if (!plan.script) {
    for (DetectedSource& source : found) {
      if (source.name == "hwinfo") source.look_again = &DetectHwinfo;
      if (source.name == "librehardwaremonitor") source.look_again = &DetectLibreHardwareMonitor;
      if (source.name == "nvml") source.look_again = &DetectNvml;
    }
  }
  return found;
}

}  // namespace sensorlib
