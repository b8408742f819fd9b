// Where the update step shows the temperature it is about to send: the main
// window stores it for painting and repaints (SetCPUTemp, then invalidation
// of its client area); the console worker prints it.
#pragma once

namespace ostrel::device {

// What an update step shows while no processor temperature has been found
// in this run: a 0 there would pass for a reading. The display still gets 0.
inline constexpr int kNoCpuTemperature = -1;

class TemperatureView {
 public:
  // Called on the worker thread once per update step, before the report goes
  // out; value is the shown value, 0 to 99, or kNoCpuTemperature.
  virtual void ShowCpuTemperature(int value) noexcept = 0;

 protected:
  ~TemperatureView() = default;
};

}  // namespace ostrel::device
