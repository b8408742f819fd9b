#include "daemon/udev_watch_linux.h"

#include <cstring>
#include <new>

namespace ostrel::daemon {

std::unique_ptr<UdevWatch> UdevWatch::Open(std::string& why) noexcept {
  udev* context = udev_new();
  if (!context) {
    why = "udev_new failed";
    return nullptr;
  }
  udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
  if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor) < 0 || udev_monitor_get_fd(monitor) < 0) {
    why = "no udev monitor";
    if (monitor) udev_monitor_unref(monitor);
    udev_unref(context);
    return nullptr;
  }
  std::unique_ptr<UdevWatch> watch(new (std::nothrow) UdevWatch(context, monitor));
  if (!watch) {
    udev_monitor_unref(monitor);
    udev_unref(context);
    why = "out of memory";
  }
  return watch;
}

UdevWatch::~UdevWatch() {
  udev_monitor_unref(monitor_);
  udev_unref(context_);
}

int UdevWatch::Fd() const noexcept { return udev_monitor_get_fd(monitor_); }

bool UdevWatch::TakeNodeChanges() noexcept {
  bool changed = false;
  // The monitor's socket does not block: null once nothing is pending.
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    const char* action = udev_device_get_action(device);
    if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0)) changed = true;
    udev_device_unref(device);
  }
  return changed;
}

}  // namespace ostrel::daemon
