// A stand-in libudev.so.1 for tests: the few monitor functions a udev
// client calls, over a datagram socket instead of the kernel's netlink
// group. A test sends "<action> <subsystem>" (e.g. "add hidraw") to the
// socket named by UDEVSIM_SOCKET, as udevd would broadcast an event; without
// the variable no monitor can be made, as where udev does not run. Found
// first on LD_LIBRARY_PATH, it replaces the system's library.
#include <libudev.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

struct udev {
  int refs = 1;
};

struct udev_monitor {
  int refs = 1;
  int fd = -1;
  std::string subsystem;  // empty: every event
};

struct udev_device {
  int refs = 1;
  std::string action;
  std::string subsystem;
};

extern "C" {

__attribute__((visibility("default"))) struct udev* udev_new(void) { return new (std::nothrow) udev(); }

__attribute__((visibility("default"))) struct udev* udev_unref(struct udev* context) {
  if (context && --context->refs == 0) delete context;
  return nullptr;
}

__attribute__((visibility("default"))) struct udev_monitor* udev_monitor_new_from_netlink(
    struct udev* context, const char*) {
  const char* path = std::getenv("UDEVSIM_SOCKET");
  sockaddr_un address{};
  if (!context || !path || !*path || std::strlen(path) >= sizeof address.sun_path) return nullptr;
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path);
  ::unlink(path);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return nullptr;
  }
  auto* monitor = new (std::nothrow) udev_monitor();
  if (!monitor) {
    ::close(fd);
    return nullptr;
  }
  monitor->fd = fd;
  return monitor;
}

__attribute__((visibility("default"))) int udev_monitor_filter_add_match_subsystem_devtype(
    struct udev_monitor* monitor, const char* subsystem, const char*) {
  if (!monitor || !subsystem) return -1;
  monitor->subsystem = subsystem;
  return 0;
}

__attribute__((visibility("default"))) int udev_monitor_enable_receiving(struct udev_monitor* monitor) {
  return monitor ? 0 : -1;
}

__attribute__((visibility("default"))) int udev_monitor_get_fd(struct udev_monitor* monitor) {
  return monitor ? monitor->fd : -1;
}

__attribute__((visibility("default"))) struct udev_device* udev_monitor_receive_device(
    struct udev_monitor* monitor) {
  if (!monitor) return nullptr;
  for (;;) {
    char text[256];
    const ssize_t n = ::recv(monitor->fd, text, sizeof text - 1, 0);
    if (n < 0) return nullptr;
    text[n] = '\0';
    const char* space = std::strchr(text, ' ');
    if (!space) continue;
    auto* device = new (std::nothrow) udev_device();
    if (!device) return nullptr;
    device->action.assign(text, static_cast<std::size_t>(space - text));
    device->subsystem.assign(space + 1);
    while (!device->subsystem.empty() &&
           (device->subsystem.back() == '\n' || device->subsystem.back() == ' ')) {
      device->subsystem.pop_back();
    }
    if (monitor->subsystem.empty() || monitor->subsystem == device->subsystem) return device;
    delete device;
  }
}

__attribute__((visibility("default"))) struct udev_monitor* udev_monitor_unref(struct udev_monitor* monitor) {
  if (monitor && --monitor->refs == 0) {
    ::close(monitor->fd);
    delete monitor;
  }
  return nullptr;
}

__attribute__((visibility("default"))) const char* udev_device_get_action(struct udev_device* device) {
  return device ? device->action.c_str() : nullptr;
}

__attribute__((visibility("default"))) const char* udev_device_get_subsystem(struct udev_device* device) {
  return device ? device->subsystem.c_str() : nullptr;
}

__attribute__((visibility("default"))) struct udev_device* udev_device_unref(struct udev_device* device) {
  if (device && --device->refs == 0) delete device;
  return nullptr;
}

}  // extern "C"
