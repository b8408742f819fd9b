#include "device/worker/device_work.h"

#include <chrono>
#include <thread>

#include "device/protocol/shown_value.h"
#include "device/protocol/temperature_report.h"
#include "device/worker/worker_task.h"

namespace ostrel::device {
namespace {

constexpr std::uint32_t kUpdatePauseMs = 1000;

}  // namespace

void DeviceWork::SleepThroughStop(CThreadBasic&, std::uint32_t ms) noexcept {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void DeviceWork::PauseUntilStop(CThreadBasic& queue, std::uint32_t ms) noexcept { queue.WaitForStop(ms); }

std::uint64_t DeviceWork::SteadyMilliseconds() noexcept {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void RescanDisplays(CHidDeviceManager& devices) noexcept { devices.Rescan(OpenPause{}); }

DeviceWork::DeviceWork(std::string sensor_library, DisplayBus& displays)
    : sensors_(std::move(sensor_library)), devices_(displays) {}

void DeviceWork::Run(CThreadBasic& queue) noexcept {
  queue_ = &queue;
  if (const auto code = queue.TakeTask()) {
    RunTask(*code);
    return;
  }
  const SendTally tally = UpdateTick();
  pause_(queue, kUpdatePauseMs);
  if (tally.failed > 0 && !failing_) {
    failing_ = true;
    if (status_view_) status_view_->DisplaysFailed(tally.failed);
  }
  if (rescans_.AfterUpdate(tally.failed, devices_.DeviceCount(), clock_())) {
    queue.PostTask(static_cast<std::int32_t>(WorkerTask::RefreshDevices));
  }
}

void DeviceWork::RunTask(std::int32_t code) noexcept {
  if (code == static_cast<std::int32_t>(WorkerTask::RefreshDevices)) {
    RefreshDevices();
  } else if (IsUpdateTask(code) && update_tasks_) {
    update_tasks_->RunUpdateTask(static_cast<WorkerTask>(code));
  }
}

SendTally DeviceWork::UpdateTick() noexcept {
  sensors_.ReadSensors();
  const int value = ShownValue(sensors_.IsBlockMapped() ? sensors_.CpuTemperature() : 0.0f);
  if (view_) view_->ShowCpuTemperature(sensors_.CpuTemperatureFound() ? value : kNoCpuTemperature);
  const TemperatureReport report = BuildTemperatureReport(value);
  const SendTally tally = devices_.SendReportCounted(report);
  return tally;
}

void DeviceWork::RefreshDevices() noexcept {
  CThreadBasic* queue = queue_;
  devices_.Rescan([queue](std::uint32_t ms) {
    if (!queue) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      return true;
    }
    return !queue->WaitForStop(ms);
  });
  rescans_.Rescanned(clock_());
  if (failing_ && devices_.DeviceCount() > 0) {
    failing_ = false;
    if (status_view_) status_view_->DisplaysReopened(devices_.DeviceCount());
  }
  // Tried again at every rescan until it succeeds; the reader zeroes a block
  // it creates.
  sensors_.MapHardwareBlock();
}

}  // namespace ostrel::device
