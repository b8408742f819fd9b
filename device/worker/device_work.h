// The work of the worker thread: one iteration takes one queued command, or,
// with none queued, runs the update step (read the sensors, show the
// temperature, send it to every display, pause one second). Without a device
// notification it queues a rescan itself: after a refused report (at most
// every 5 s), and every 10 s while no display is open. The main dialog
// and the console worker each own one and forward their Run to it.
#pragma once

#include <cstdint>
#include <string>

#include "device/hid/display_bus.h"
#include "device/hid/hid_device_manager.h"
#include "device/worker/display_status_view.h"
#include "device/worker/rescan_policy.h"
#include "device/worker/temperature_view.h"
#include "device/worker/thread_basic.h"
#include "device/worker/update_task_runner.h"
#include "sensors/sensor_reader.h"

namespace ostrel::device {

class DeviceWork {
 public:
  // displays is borrowed and outlives this object; by default the
  // process-wide registry over hidapi.
  explicit DeviceWork(std::string sensor_library = std::string(ostrel::sensors::kLibraryFileName),
                      DisplayBus& displays = CHidDeviceManager::Instance());

  // Both borrowed; null shows nothing / drops the update commands.
  void SetView(TemperatureView* view) noexcept { view_ = view; }
  void SetUpdateTasks(UpdateTaskRunner* runner) noexcept { update_tasks_ = runner; }
  void SetStatusView(DisplayStatusView* view) noexcept { status_view_ = view; }

  // The pause after each update step. The program sleeps through a stop (the
  // worker sees one only between iterations); tests end it at the stop, so
  // that a worker test costs milliseconds rather than seconds.
  using UpdatePause = void (*)(CThreadBasic& queue, std::uint32_t ms) noexcept;
  void SetUpdatePause(UpdatePause pause) noexcept { pause_ = pause ? pause : &SleepThroughStop; }
  static void SleepThroughStop(CThreadBasic& queue, std::uint32_t ms) noexcept;
  static void PauseUntilStop(CThreadBasic& queue, std::uint32_t ms) noexcept;

  // Milliseconds of a steady clock, for the rescan policy.
  using Clock = std::uint64_t (*)() noexcept;
  void SetClock(Clock clock) noexcept { clock_ = clock ? clock : &SteadyMilliseconds; }
  static std::uint64_t SteadyMilliseconds() noexcept;

  void Run(CThreadBasic& queue) noexcept;
  void RunTask(std::int32_t code) noexcept;
  // Reads, shows and sends; Run pauses after it.
  SendTally UpdateTick() noexcept;
  void RefreshDevices() noexcept;

  sensors::SensorReader& Sensors() noexcept { return sensors_; }

 private:
  sensors::SensorReader sensors_;
  DisplayBus& devices_;
  // The queue of the iteration running now; a rescan's open retries wait on
  // it, so that a stop cuts them short.
  CThreadBasic* queue_ = nullptr;
  Clock clock_ = &SteadyMilliseconds;
  TemperatureView* view_ = nullptr;
  UpdateTaskRunner* update_tasks_ = nullptr;
  DisplayStatusView* status_view_ = nullptr;
  UpdatePause pause_ = &SleepThroughStop;
  RescanPolicy rescans_;
  bool failing_ = false;
};

// The registry half of a rescan: drop every display and open them afresh.
void RescanDisplays(CHidDeviceManager& devices) noexcept;

}  // namespace ostrel::device
