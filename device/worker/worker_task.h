// Command codes the user-interface thread queues for the worker.
#pragma once

#include <cstdint>

namespace ostrel::device {

enum class WorkerTask : std::int32_t {
  RefreshDevices = 1,
  CheckSoftwareNow = 3,
  CheckFirmwareNow = 4,
  CheckSoftwareAtStart = 5,
  CheckFirmwareAtStart = 6,
  InstallSoftware = 7,
  InstallFirmware = 8,
};

// The update checks and installs (3 to 8); code 2 and unknown codes are none.
constexpr bool IsUpdateTask(std::int32_t code) noexcept { return code >= 3 && code <= 8; }

}  // namespace ostrel::device
