// Display arrival and removal on Linux: a libudev monitor of the hidraw
// subsystem, whose descriptor the daemon's main loop polls. Where udevd does
// not run (containers) the monitor hears nothing, or cannot be made; the
// worker's own rescans then serve alone.
#pragma once

#include <libudev.h>

#include <memory>
#include <string>

namespace ostrel::daemon {

class UdevWatch {
 public:
  // Null when no monitor can be made; why says what failed.
  static std::unique_ptr<UdevWatch> Open(std::string& why) noexcept;
  ~UdevWatch();
  UdevWatch(const UdevWatch&) = delete;
  UdevWatch& operator=(const UdevWatch&) = delete;

  int Fd() const noexcept;
  // Takes every pending event; true when a hidraw node came or went. Any
  // such node counts: a removed node can no longer tell whose it was, and a
  // rescan costs little.
  bool TakeNodeChanges() noexcept;

 private:
  UdevWatch(udev* context, udev_monitor* monitor) noexcept : context_(context), monitor_(monitor) {}

  udev* context_;
  udev_monitor* monitor_;
};

}  // namespace ostrel::daemon
