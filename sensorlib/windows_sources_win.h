// The sources that ask Windows itself: LibreHardwareMonitor's and the ACPI
// thermal zones' WMI namespaces, and the system's processor times.
#pragma once

#include "sensorlib/library.h"

namespace sensorlib {

DetectedSource DetectLibreHardwareMonitor();
DetectedSource DetectAcpiThermalZones();
DetectedSource DetectSystemTimes();

}  // namespace sensorlib
