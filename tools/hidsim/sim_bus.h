// The simulated HID bus: which interfaces are listed, which opens and
// transfers succeed, and what each device answers. Every event goes to the
// log sink as one line (README.md lists them).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/hidsim/sim_config.h"

namespace hidsim {

struct SimHandle {
  std::size_t device = 0;
  std::size_t iface = 0;
  std::uint32_t generation = 0;  // a handle dies when its device is unplugged
};

struct Listing {
  std::size_t device = 0;
  std::size_t iface = 0;
};

class SimBus {
 public:
  using LogSink = std::function<void(const std::string& line)>;

  SimBus(SimConfig config, LogSink log);

  bool InitFails() const { return config_.init_fails; }
  const SimDevice& Device(std::size_t index) const { return config_.devices[index]; }
  std::string Path(std::size_t device, std::size_t iface) const;

  // One enumeration; 0 ids match any. Absent devices count down towards
  // their reappearance here, or are listed once their time away is over.
  std::vector<Listing> Enumerate(std::uint16_t vendor_id, std::uint16_t product_id);
  std::optional<SimHandle> OpenPath(std::string_view path);
  // The first interface of the first present device with these ids (and
  // this UTF-8 serial number, when given).
  std::optional<SimHandle> Open(std::uint16_t vendor_id, std::uint16_t product_id, const std::string* serial);
  void Close(const SimHandle& handle);
  bool IsAlive(const SimHandle& handle) const;

  // Results as hidapi's: the length, or -1.
  int SendFeature(const SimHandle& handle, const std::uint8_t* data, std::size_t length);
  int GetFeature(const SimHandle& handle, std::uint8_t* data, std::size_t length);

 private:
  struct DeviceState {
    bool present = true;
    std::uint32_t generation = 0;
    int reports = 0;
    int hidden_left = -1;  // enumerations until it is listed again; -1 never
    std::optional<std::chrono::steady_clock::time_point> back_at;  // reappear_after_ms
    int replies = 0;
  };

  void Unplug(std::size_t device);
  std::optional<SimHandle> OpenInterface(std::size_t device, std::size_t iface);
  std::string Where(const SimHandle& handle) const;

  SimConfig config_;
  std::vector<DeviceState> state_;
  LogSink log_;
};

// "07 FF FF 00": upper-case hex bytes separated by spaces.
std::string HexBytes(const std::uint8_t* data, std::size_t length);

}  // namespace hidsim
