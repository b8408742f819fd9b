#include "device/device_work.h"

#include <windows.h>

#include "device/shown_value.h"
#include "device/temperature_report.h"

namespace ostrel::device {
namespace {

constexpr DWORD kUpdatePauseMs = 1000;

}  // namespace

void RescanDisplays(CHidDeviceManager& devices) noexcept {
  devices.ClearFilters();
  devices.AddFilter(L"", 1);
  devices.CloseAll();
  devices.Scan();
  devices.SetOpen(true);
}

DeviceWork::DeviceWork(std::string sensor_library)
    : sensors_(std::move(sensor_library)), devices_(CHidDeviceManager::Instance()) {}

void DeviceWork::Run(CThreadBasic& queue) noexcept {
  if (const auto code = queue.TakeTask()) {
    RunTask(*code);
  } else {
    UpdateTick();
  }
}

void DeviceWork::RunTask(std::int32_t code) noexcept {
  if (code == static_cast<std::int32_t>(WorkerTask::RefreshDevices)) {
    RefreshDevices();
  } else if (IsUpdateTask(code) && update_tasks_) {
    update_tasks_->RunUpdateTask(static_cast<WorkerTask>(code));
  }
}

void DeviceWork::UpdateTick() noexcept {
  sensors_.ReadSensors();
  const int value = ShownValue(sensors_.IsBlockMapped() ? sensors_.CpuTemperature() : 0.0f);
  if (view_) view_->ShowCpuTemperature(value);
  const TemperatureReport report = BuildTemperatureReport(value);
  devices_.SendReport(std::span<const std::uint8_t, kReportLength>(report.data(), kReportLength));
  ::Sleep(kUpdatePauseMs);
}

void DeviceWork::RefreshDevices() noexcept {
  RescanDisplays(devices_);
  // Tried again at every rescan until it succeeds; the reader zeroes a block
  // it creates.
  sensors_.MapHardwareBlock();
}

}  // namespace ostrel::device
