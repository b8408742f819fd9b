// ostrelctl send <celsius>: one temperature report, built as the update step
// builds it, to every display a fresh rescan finds.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "device/hid/hid_device_manager.h"
#include "device/protocol/shown_value.h"
#include "device/protocol/temperature_report.h"
#include "device/worker/device_work.h"
#include "tools/ostrelctl/command.h"

namespace ostrelctl {

int RunSend(Args args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: ostrelctl send <celsius>\n");
    return 2;
  }
  const std::string text(args[0]);
  char* end = nullptr;
  errno = 0;
  const float celsius = std::strtof(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) {
    std::fprintf(stderr, "ostrelctl send: '%s' is not a number\n", text.c_str());
    return 2;
  }
  // Out-of-range input (1e99) comes back as an infinity, which the shown
  // value bounds like any reading.
  const int value = ostrel::device::ShownValue(celsius);
  const auto report = ostrel::device::BuildTemperatureReport(value);

  auto& devices = ostrel::device::CHidDeviceManager::Instance();
  ostrel::device::RescanDisplays(devices);
  const auto tally = devices.SendReportCounted(report);
  // Counted by what the displays took, not by how many are open: a display
  // that refuses every report must not look served.
  std::printf("shown value %d: report %02X %02X %02X %02X %02X %02X sent to %d display(s)", value, report[0],
              report[1], report[2], report[3], report[4], report[5], tally.accepted);
  if (tally.failed > 0) std::printf(", refused by %d", tally.failed);
  std::printf("\n");
  return tally.accepted > 0 ? 0 : 1;
}

}  // namespace ostrelctl
