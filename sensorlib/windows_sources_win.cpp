#include "sensorlib/windows_sources_win.h"

#include <windows.h>

#include "common/win/text.h"
#include "common/win/unique_any.h"
#include "sensorlib/lhm_source.h"
#include "sensorlib/script.h"
#include "sensorlib/sysfs_text.h"
#include "sensorlib/system_load_source.h"
#include "sensorlib/wmi_connection_win.h"

namespace sensorlib {
namespace {

std::uint64_t Ticks(const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }

std::optional<CpuTimes> SystemTimes() {
  FILETIME idle, kernel, user;
  if (!::GetSystemTimes(&idle, &kernel, &user)) return std::nullopt;
  // Kernel time includes the idle time.
  const std::uint64_t total = Ticks(kernel) + Ticks(user);
  if (Ticks(idle) > total) return std::nullopt;
  return CpuTimes{total - Ticks(idle), total};
}

std::string ProcessorName() {
  ostrel::win::unique_hkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0, KEY_READ,
                      key.put()) == ERROR_SUCCESS) {
    wchar_t name[256] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    if (::RegQueryValueExW(key.get(), L"ProcessorNameString", nullptr, nullptr, reinterpret_cast<BYTE*>(name),
                           &size) == ERROR_SUCCESS) {
      std::string text = CleanSysfsText(ostrel::win::Narrow(name), kMaxNameLength);
      if (!text.empty()) return text;
    }
  }
  return "Processor";
}

}  // namespace

DetectedSource DetectLibreHardwareMonitor() {
  std::string why;
  auto wmi = ConnectWmi(L"root\\LibreHardwareMonitor", why);
  if (!wmi) return {"librehardwaremonitor", nullptr, "LibreHardwareMonitor is not running (" + why + ")"};
  const auto hardware = wmi->Query(kLhmHardwareQuery);
  if (!hardware || hardware->empty()) {
    return {"librehardwaremonitor", nullptr, "root\\LibreHardwareMonitor lists no hardware"};
  }
  const std::string found =
      std::to_string(hardware->size()) + " hardware items in root\\LibreHardwareMonitor";
  return {"librehardwaremonitor", std::make_unique<LhmSource>(std::move(wmi)), found};
}

DetectedSource DetectAcpiThermalZones() {
  std::string why;
  auto wmi = ConnectWmi(L"root\\WMI", why);
  if (!wmi) return {"acpi", nullptr, why};
  const auto zones = wmi->Query(kAcpiZoneQuery);
  if (!zones || AcpiZoneItems(*zones).empty()) {
    return {"acpi", nullptr, "no ACPI thermal zone in root\\WMI (MSAcpi_ThermalZoneTemperature)"};
  }
  const std::string found = std::to_string(zones->size()) + " ACPI thermal zones in root\\WMI";
  return {"acpi", std::make_unique<AcpiZoneSource>(std::move(wmi)), found};
}

DetectedSource DetectSystemTimes() {
  if (!SystemTimes()) return {"system", nullptr, "GetSystemTimes failed"};
  return {"system", std::make_unique<SystemLoadSource>(ProcessorName(), &SystemTimes),
          "processor load from GetSystemTimes"};
}

}  // namespace sensorlib
