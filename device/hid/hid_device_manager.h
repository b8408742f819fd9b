// The process-wide registry of open displays over hidapi. Everything but
// DeviceCount runs on the worker thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "device/hid/display_bus.h"
#include "device/hid/hid_device_entry.h"
#include "device/hid/hid_device_filter.h"
#include "device/hid/open_retry.h"
#include "device/protocol/temperature_report.h"

namespace ostrel::device {

class CHidDeviceManager final : public DisplayBus {
 public:
  // Built on first use; destroyed at process exit, which closes every display
  // and releases hidapi.
  static CHidDeviceManager& Instance() noexcept;

  CHidDeviceManager(const CHidDeviceManager&) = delete;
  CHidDeviceManager& operator=(const CHidDeviceManager&) = delete;

  void ClearFilters() noexcept;
  // Always looks for the display's ids; name and flag are only stored.
  void AddFilter(std::wstring_view name, std::int32_t flag) noexcept;
  // Does nothing unless the open flag is set (the entries of a scan whose
  // flag was never set are closed at process exit).
  void CloseAll() noexcept;
  // Appends every matching display interface; run CloseAll first to rescan.
  // A path listed more than once (hidraw lists a node once per top-level
  // collection) is kept once.
  void Scan() noexcept { Scan(OpenPause{}); }
  // The same; an interface that refuses to open is tried again after each of
  // this system's retry pauses (open_retry.h), waited through pause.
  void Scan(const OpenPause& pause) noexcept;
  // The filter, CloseAll, Scan and the open flag: the whole rescan.
  void Rescan(const OpenPause& pause) noexcept override;
  void SetOpen(bool open) noexcept;
  bool IsOpen() const noexcept;

  // Safe from any thread, e.g. while the worker rescans.
  int DeviceCount() const noexcept override;
  const std::vector<std::unique_ptr<HidDeviceEntry>>& Devices() const noexcept { return m_devices; }

  // Sends the report plus one zero byte as a 65-byte feature report to every
  // open display, in list order; send errors are ignored. False only while
  // the open flag is clear.
  bool SendReport(const TemperatureReport& report) noexcept;
  // The same, counting: nothing is sent, and both counts are 0, while the
  // open flag is clear.
  SendTally SendReportCounted(const TemperatureReport& report) noexcept override;
  // Asks the first display for its firmware version. False when the request
  // is refused, a read fails, or the reply is still wrong after one re-read:
  // no version is made up from bytes the display never sent.
  bool QueryVersion(std::uint16_t& version) noexcept;

  // Feature-report write: the length on success, -1 on failure.
  static int WriteFeature(hid_device* device, const std::uint8_t* data, std::size_t length) noexcept;
  // Feature-report read of 64 bytes into a buffer whose byte 0 is the report
  // id: the byte count, or -1 on failure.
  static int ReadFeature(hid_device* device, std::uint8_t* data) noexcept;

 private:
  CHidDeviceManager() noexcept;
  ~CHidDeviceManager();

  void AddEntry(const hid_device_info& info, win::unique_hid_device device);
  static win::unique_hid_device OpenWithRetry(const char* path, const OpenPause& pause) noexcept;
  bool IsPathOpen(const char* path) const noexcept;

  std::int32_t m_open = 0;
  std::vector<std::unique_ptr<HidDeviceEntry>> m_devices;
  std::vector<HidDeviceFilter> m_filters;
  std::atomic<int> m_count{0};
};

}  // namespace ostrel::device
