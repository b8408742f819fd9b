// The worker with the device work and nothing else around it: the console
// worker of ostrelctl. The main dialog does the same with its own bases.
#pragma once

#include <string>

#include "device/worker/device_work.h"
#include "device/worker/thread_basic.h"

namespace ostrel::device {

class DeviceWorker final : public CThreadBasic {
 public:
  explicit DeviceWorker(std::string sensor_library = std::string(ostrel::sensors::kLibraryFileName))
      : work_(std::move(sensor_library)) {}
  ~DeviceWorker() { StopWorker(); }

  void Run() override { work_.Run(*this); }
  DeviceWork& Work() noexcept { return work_; }

 private:
  DeviceWork work_;
};

}  // namespace ostrel::device
