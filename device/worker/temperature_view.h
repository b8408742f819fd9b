// Where the update step shows the temperature it is about to send: the main
// window stores it for painting and repaints (SetCPUTemp, then invalidation
// of its client area); the console worker prints it.
#pragma once

namespace ostrel::device {

class TemperatureView {
 public:
  // Called on the worker thread once per update step, before the report goes
  // out; value is the shown value, 0 to 99.
  virtual void ShowCpuTemperature(int value) noexcept = 0;

 protected:
  ~TemperatureView() = default;
};

}  // namespace ostrel::device
