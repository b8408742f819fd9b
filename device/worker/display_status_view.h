// Where the worker tells of displays that stop taking reports and of their
// return; the console worker prints it. Called on the worker thread.
#pragma once

namespace ostrel::device {

class DisplayStatusView {
 public:
  // Once when displays start refusing reports, not at every refused report.
  virtual void DisplaysFailed(int failed) noexcept = 0;
  // Once when a rescan after such a failure has displays open again.
  virtual void DisplaysReopened(int open) noexcept = 0;

 protected:
  ~DisplayStatusView() = default;
};

}  // namespace ostrel::device
