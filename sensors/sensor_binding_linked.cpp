// The daemon carries the sensor library's code itself: the file name a
// Windows build loads names nothing here.
#include "sensorlib/linked_entry_points.h"
#include "sensors/sensor_binding.h"

namespace ostrel::sensors {

EntryPoints BindEntryPoints(const std::string&) noexcept { return sensorlib::LinkedEntryPoints(); }

}  // namespace ostrel::sensors
