#include "device/hid/hid_device_manager.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>

#include "common/swallowed_failure.h"
#include "device/hid/display_ids.h"
#include "device/hid/scan_rules.h"
#include "device/protocol/version_exchange.h"

namespace ostrel::device {
namespace {

constexpr std::size_t kProductStringChars = 512;
// The display needs time between the request and its answer.
constexpr std::chrono::milliseconds kVersionPause{16};

}  // namespace

CHidDeviceManager& CHidDeviceManager::Instance() noexcept {
  static CHidDeviceManager instance;
  return instance;
}

CHidDeviceManager::CHidDeviceManager() noexcept {
  // A failure is tolerated: hidapi tries again at each enumeration.
  hid_init();
}

CHidDeviceManager::~CHidDeviceManager() {
  CloseAll();
  m_devices.clear();
  m_count.store(0);
  m_filters.clear();
  hid_exit();
}

void CHidDeviceManager::ClearFilters() noexcept { m_filters.clear(); }

void CHidDeviceManager::AddFilter(std::wstring_view name, std::int32_t flag) noexcept {
  try {
    m_filters.push_back(HidDeviceFilter{kDisplayVendorId, kDisplayProductId, std::wstring(name), flag});
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

void CHidDeviceManager::CloseAll() noexcept {
  if (!m_open) return;
  m_open = 0;
  m_devices.clear();
  m_count.store(0);
}

void CHidDeviceManager::SetOpen(bool open) noexcept { m_open = open ? 1 : 0; }

bool CHidDeviceManager::IsOpen() const noexcept { return m_open != 0; }

int CHidDeviceManager::DeviceCount() const noexcept { return m_count.load(); }

win::unique_hid_device CHidDeviceManager::OpenWithRetry(const char* path, const OpenPause& pause) noexcept {
  win::unique_hid_device device(hid_open_path(path));
  if (!pause) return device;
  for (const std::uint32_t ms : DisplayOpenRetryPauses()) {
    if (device || !pause(ms)) break;
    device.reset(hid_open_path(path));
  }
  return device;
}

bool CHidDeviceManager::IsPathOpen(const char* path) const noexcept {
  return std::any_of(m_devices.begin(), m_devices.end(),
                     [path](const auto& entry) { return std::string_view(entry->path.data()) == path; });
}

void CHidDeviceManager::Rescan(const OpenPause& pause) noexcept {
  ClearFilters();
  AddFilter(L"", 1);
  CloseAll();
  Scan(pause);
  SetOpen(true);
}

void CHidDeviceManager::Scan(const OpenPause& pause) noexcept {
  try {
    const win::unique_hid_enumeration list(hid_enumerate(0, 0));
    for (const hid_device_info* info = list.get(); info; info = info->next) {
      if (!FindMatchingFilter(m_filters, info->vendor_id, info->product_id)) continue;
      if (!PathFitsEntry(info->path)) continue;
      // hidraw lists one node once per top-level collection, each time with
      // the same path (Windows gives each collection a path of its own): a
      // display already open is not opened, nor reported to, twice.
      if (IsPathOpen(info->path)) continue;
      win::unique_hid_device device(OpenWithRetry(info->path, pause));
      if (!device) continue;
      // Only the vendor-defined collection carries reports; the display's
      // other interfaces are let go at once.
      if (!IsDisplayCollection(info->usage_page, info->usage)) continue;
      AddEntry(*info, std::move(device));
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    // Out of memory: keep what was added so far.
  }
}

void CHidDeviceManager::AddEntry(const hid_device_info& info, win::unique_hid_device device) {
  auto entry = std::make_unique<HidDeviceEntry>();
  entry->index = static_cast<std::int32_t>(m_devices.size());
  entry->vendor_id = info.vendor_id;
  entry->product_id = info.product_id;
  std::strncpy(entry->path.data(), info.path, entry->path.size() - 1);

  wchar_t product[kProductStringChars] = {};
  if (hid_get_product_string(device.get(), product, kProductStringChars) == 0) {
    product[kProductStringChars - 1] = L'\0';
    entry->product_string = product;
  }
  entry->device = std::move(device);
  entry->release_number = info.release_number;
  m_devices.push_back(std::move(entry));
  m_count.store(static_cast<int>(m_devices.size()));
}

int CHidDeviceManager::WriteFeature(hid_device* device, const std::uint8_t* data,
                                    std::size_t length) noexcept {
  return hid_send_feature_report(device, data, length);
}

int CHidDeviceManager::ReadFeature(hid_device* device, std::uint8_t* data) noexcept {
  return hid_get_feature_report(device, data, kVersionTransferSize);
}

SendTally CHidDeviceManager::SendReportCounted(const TemperatureReport& report) noexcept {
  SendTally tally;
  if (!m_open) return tally;
  std::uint8_t buffer[kReportLength + 1] = {};
  std::copy_n(report.begin(), kReportLength, buffer);
  for (const auto& entry : m_devices) {
    if (!entry->device) continue;
    if (WriteFeature(entry->device.get(), buffer, sizeof buffer) < 0) {
      ++tally.failed;
    } else {
      ++tally.accepted;
    }
  }
  return tally;
}

bool CHidDeviceManager::SendReport(const TemperatureReport& report) noexcept {
  if (!m_open) return false;
  SendReportCounted(report);
  return true;
}

bool CHidDeviceManager::QueryVersion(std::uint16_t& version) noexcept {
  if (!m_open || m_devices.empty() || !m_devices.front()->device) return false;
  hid_device* device = m_devices.front()->device.get();

  VersionBuffer buffer = BuildVersionRequest();
  std::this_thread::sleep_for(kVersionPause);
  if (WriteFeature(device, buffer.data(), kVersionTransferSize) <= 0) return false;
  std::this_thread::sleep_for(kVersionPause);
  // A failed read leaves the request bytes in place: it is no answer, not
  // version 0xFD00.
  const int first = ReadFeature(device, buffer.data());
  if (first < 0) return false;
  std::optional<std::uint16_t> answer = VersionFromRead(first, buffer);
  if (!answer) {
    // The report id of a get-feature request is the buffer's first byte, so
    // the second read starts from the request again. A wrong reply now is
    // no answer either.
    buffer = BuildVersionRequest();
    std::this_thread::sleep_for(kVersionPause);
    answer = VersionFromRead(ReadFeature(device, buffer.data()), buffer);
  }
  if (!answer) return false;
  version = *answer;
  return true;
}

}  // namespace ostrel::device
