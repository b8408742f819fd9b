#include "tools/hidsim/sim_bus.h"

#include <algorithm>
#include <cstdio>

namespace hidsim {
namespace {

// The HID interface class of Windows, as it ends every HID interface path.
constexpr std::string_view kHidClassSuffix = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value & 0xFFFF);
  return text;
}

}  // namespace

std::string HexBytes(const std::uint8_t* data, std::size_t length) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(length * 3);
  for (std::size_t i = 0; i < length; ++i) {
    if (i) text.push_back(' ');
    text.push_back(kDigits[data[i] >> 4]);
    text.push_back(kDigits[data[i] & 0xF]);
  }
  return text;
}

SimBus::SimBus(SimConfig config, LogSink log) : config_(std::move(config)), log_(std::move(log)) {
  state_.resize(config_.devices.size());
  for (std::size_t i = 0; i < state_.size(); ++i) {
    state_[i].present = config_.devices[i].present;
    if (!state_[i].present) Unplug(i);
  }
}

std::string SimBus::Path(std::size_t device, std::size_t iface) const {
  const SimDevice& d = config_.devices[device];
  // hidraw lists one node once per top-level collection, each time with the
  // node's path; opening it opens the first.
  if (d.shared_path) iface = 0;
  // Shaped like a Windows HID interface path: lower-case ids, the interface
  // number when the device has several, a per-device instance id.
  std::string head = "\\\\?\\hid#vid_" + Hex4(d.vendor_id) + "&pid_" + Hex4(d.product_id);
  if (d.interfaces.size() > 1 && !d.shared_path)
    head += "&mi_" + Hex4(static_cast<unsigned>(iface)).substr(2);
  head += "#7&";
  std::string tail = Hex4(static_cast<unsigned>(device)) + "5a3c&0&" + Hex4(static_cast<unsigned>(iface)) +
                     std::string(kHidClassSuffix);
  const std::size_t natural = head.size() + tail.size();
  if (d.path_length > natural) head.append(d.path_length - natural, '0');
  return head + tail;
}

std::vector<Listing> SimBus::Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) {
  std::vector<Listing> listed;
  for (std::size_t i = 0; i < config_.devices.size(); ++i) {
    DeviceState& state = state_[i];
    if (!state.present) {
      if (state.back_at && std::chrono::steady_clock::now() >= *state.back_at) state.hidden_left = 0;
      if (state.hidden_left != 0) {
        if (state.hidden_left > 0) --state.hidden_left;
        continue;
      }
      // Plugged in again, it counts its reports afresh.
      state.present = true;
      state.reports = 0;
      state.back_at.reset();
      log_("back " + config_.devices[i].name);
    }
    const SimDevice& d = config_.devices[i];
    if (vendor_id && d.vendor_id != vendor_id) continue;
    if (product_id && d.product_id != product_id) continue;
    for (std::size_t j = 0; j < d.interfaces.size(); ++j) listed.push_back({i, j});
  }
  log_("enumerate " + std::to_string(listed.size()));
  return listed;
}

void SimBus::Unplug(std::size_t device) {
  const SimDevice& d = config_.devices[device];
  DeviceState& state = state_[device];
  state.present = false;
  state.hidden_left = d.reappear_after.value_or(-1);
  state.back_at.reset();
  if (d.reappear_after_ms) {
    state.back_at = std::chrono::steady_clock::now() + std::chrono::milliseconds(*d.reappear_after_ms);
    // Plugged in again after the time, however often it was enumerated.
    state.hidden_left = -1;
  }
}

std::optional<SimHandle> SimBus::OpenInterface(std::size_t device, std::size_t iface) {
  const SimDevice& d = config_.devices[device];
  const std::string where = d.name + " " + std::to_string(iface);
  if (!state_[device].present || d.open_fails) {
    log_("open_failed " + where);
    return std::nullopt;
  }
  log_("open " + where);
  return SimHandle{device, iface, state_[device].generation};
}

std::optional<SimHandle> SimBus::OpenPath(std::string_view path) {
  for (std::size_t i = 0; i < config_.devices.size(); ++i) {
    for (std::size_t j = 0; j < config_.devices[i].interfaces.size(); ++j) {
      if (Path(i, j) == path) return OpenInterface(i, j);
    }
  }
  log_("open_failed unknown-path");
  return std::nullopt;
}

std::optional<SimHandle> SimBus::Open(std::uint16_t vendor_id, std::uint16_t product_id,
                                      const std::string* serial) {
  for (std::size_t i = 0; i < config_.devices.size(); ++i) {
    const SimDevice& d = config_.devices[i];
    if (!state_[i].present || d.vendor_id != vendor_id || d.product_id != product_id) continue;
    if (serial && d.serial != *serial) continue;
    return OpenInterface(i, 0);
  }
  log_("open_failed no-such-device");
  return std::nullopt;
}

void SimBus::Close(const SimHandle& handle) { log_("close " + Where(handle)); }

bool SimBus::IsAlive(const SimHandle& handle) const {
  const DeviceState& state = state_[handle.device];
  return state.present && state.generation == handle.generation;
}

std::string SimBus::Where(const SimHandle& handle) const {
  return config_.devices[handle.device].name + " " + std::to_string(handle.iface);
}

int SimBus::SendFeature(const SimHandle& handle, const std::uint8_t* data, std::size_t length) {
  const SimDevice& d = config_.devices[handle.device];
  if (!data || length == 0 || !IsAlive(handle) || d.send_fails) {
    log_("send_feature_failed " + Where(handle) + " " + std::to_string(length));
    return -1;
  }
  log_("send_feature " + Where(handle) + " " + std::to_string(length) + " " + HexBytes(data, length));
  DeviceState& state = state_[handle.device];
  ++state.reports;
  if (d.disappear_after && state.reports >= *d.disappear_after) {
    ++state.generation;
    Unplug(handle.device);
    log_("gone " + d.name);
  }
  return static_cast<int>(length);
}

int SimBus::GetFeature(const SimHandle& handle, std::uint8_t* data, std::size_t length) {
  const SimDevice& d = config_.devices[handle.device];
  if (!data || length < 3 || !IsAlive(handle) || d.read_fails) {
    log_("get_feature_failed " + Where(handle) + " " + std::to_string(length));
    return -1;
  }
  DeviceState& state = state_[handle.device];
  // data[0] holds the report id asked for, and a valid reply keeps it.
  std::fill(data + 1, data + length, std::uint8_t{0});
  if (state.replies < d.wrong_first_replies) {
    data[0] = 0x00;
    data[1] = 0xEE;
    data[2] = 0xEE;
  } else {
    data[1] = static_cast<std::uint8_t>(d.firmware >> 8);
    data[2] = static_cast<std::uint8_t>(d.firmware & 0xFF);
  }
  ++state.replies;
  log_("get_feature " + Where(handle) + " " + std::to_string(length) + " " + HexBytes(data, length));
  return static_cast<int>(length);
}

}  // namespace hidsim
