// hidapi's C interface over the simulated bus. The configuration is read
// again whenever its file (or the variable naming it) changes, so a test can
// swap the attached devices between two scans; handles from before such a
// swap fail every call but hid_close. The callers are C: no exception leaves
// an exported function, a failure answers as hidapi's own failures do.
#include <hidapi.h>
#ifdef _WIN32
#include <hidapi_winapi.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>

#include "common/swallowed_failure.h"
#include "tools/hidsim/sim_bus.h"
#include "tools/hidsim/sim_config.h"
#include "tools/hidsim/sim_host.h"

namespace {

void FreeInfo(hid_device_info* info) noexcept {
  while (info) {
    hid_device_info* next = info->next;
    std::free(info->path);
    std::free(info->serial_number);
    std::free(info->manufacturer_string);
    std::free(info->product_string);
    std::free(info);
    info = next;
  }
}

struct InfoFree {
  void operator()(hid_device_info* info) const noexcept { FreeInfo(info); }
};
// A list of hid_device_info in the C heap, as hid_free_enumeration frees it.
using unique_info = std::unique_ptr<hid_device_info, InfoFree>;

struct FileClose {
  void operator()(FILE* file) const noexcept { std::fclose(file); }
};
using unique_cfile = std::unique_ptr<FILE, FileClose>;

}  // namespace

struct hid_device_ {
  hidsim::SimHandle handle;
  std::uint64_t epoch = 0;
  const wchar_t* last_error = L"Success";
  unique_info info;  // from hid_get_device_info, freed by hid_close
};

namespace {

constexpr const wchar_t* kNotSupported = L"not supported by the HID simulator";
constexpr const wchar_t* kGone = L"the simulated device is not attached";
constexpr const wchar_t* kStale = L"the simulator's configuration changed since this device was opened";

std::mutex g_lock;
std::unique_ptr<hidsim::SimBus> g_bus;
std::string g_loaded;  // path and content of the configuration in use
std::uint64_t g_epoch = 0;
const wchar_t* g_error = L"Success";

// The C heap copies hid_free_enumeration frees.
char* CopyText(const std::string& text) {
  auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

wchar_t* CopyText(const std::wstring& text) {
  auto* copy = static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
  if (copy) std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

void WriteLog(const std::string& line) {
  const std::string path = hidsim::SimFilePath("HIDSIM_LOG", "hidsim.log");
  // Opened for each line so that a reader sees every line as soon as it is
  // written, and a test can move the log between two calls.
  if (const unique_cfile file{hidsim::OpenSimFile(path, "ab")}) {
    std::fwrite(line.data(), 1, line.size(), file.get());
    std::fputc('\n', file.get());
  }
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  const unique_cfile file{hidsim::OpenSimFile(path, "rb")};
  if (!file) return false;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, got);
  return true;
}

// With the lock held: the bus for the current configuration file.
hidsim::SimBus& Bus() {
  const std::string path = hidsim::SimFilePath("HIDSIM_CONFIG", "hidsim.ini");
  std::string content;
  const bool found = ReadWholeFile(path, content);
  std::string key = path;
  key.push_back('\0');
  key += found ? content : std::string("\0missing", 8);
  if (!g_bus || key != g_loaded) {
    g_loaded = std::move(key);
    ++g_epoch;
    hidsim::ParseResult parsed = hidsim::ParseConfig(content);
    if (!found) {
      WriteLog("config_missing " + path);
      parsed = hidsim::ParseResult{hidsim::SimConfig{}, {}};
    } else if (!parsed.config) {
      WriteLog("config_error " + parsed.error);
      parsed.config = hidsim::SimConfig{};
    } else {
      WriteLog("config " + path + " devices " + std::to_string(parsed.config->devices.size()));
    }
    g_bus = std::make_unique<hidsim::SimBus>(std::move(*parsed.config), &WriteLog);
  }
  return *g_bus;
}

// With the lock held: the bus if the handle still belongs to it.
hidsim::SimBus* BusFor(hid_device* dev) {
  if (!dev) return nullptr;
  hidsim::SimBus& bus = Bus();
  if (dev->epoch != g_epoch) {
    dev->last_error = kStale;
    return nullptr;
  }
  return &bus;
}

hid_device_info* MakeInfo(const hidsim::SimBus& bus, std::size_t device, std::size_t iface) {
  const hidsim::SimDevice& d = bus.Device(device);
  // What may throw comes first, so that nothing in the C heap is left behind.
  const std::string path = bus.Path(device, iface);
  const std::wstring serial = hidsim::WideText(d.serial);
  const std::wstring manufacturer = hidsim::WideText(d.manufacturer);
  const std::wstring product = hidsim::WideText(d.product);
  auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
  if (!info) return nullptr;
  info->path = CopyText(path);
  info->vendor_id = d.vendor_id;
  info->product_id = d.product_id;
  info->serial_number = CopyText(serial);
  info->release_number = d.release;
  info->manufacturer_string = CopyText(manufacturer);
  info->product_string = CopyText(product);
  info->usage_page = d.interfaces[iface].usage_page;
  info->usage = d.interfaces[iface].usage;
  info->interface_number = d.interfaces.size() > 1 ? static_cast<int>(iface) : -1;
  info->bus_type = HID_API_BUS_USB;
  return info;
}

hid_device* MakeDevice(const std::optional<hidsim::SimHandle>& handle) {
  if (!handle) {
    g_error = kGone;
    return nullptr;
  }
  auto* dev = new (std::nothrow) hid_device_();
  if (!dev) return nullptr;
  dev->handle = *handle;
  dev->epoch = g_epoch;
  g_error = L"Success";
  return dev;
}

int CopyString(hid_device* dev, const std::string& (*field)(const hidsim::SimDevice&), wchar_t* string,
               std::size_t maxlen) {
  const std::lock_guard lock(g_lock);
  hidsim::SimBus* bus = BusFor(dev);
  if (!bus || !string || maxlen == 0) return -1;
  if (!bus->IsAlive(dev->handle)) {
    dev->last_error = kGone;
    return -1;
  }
  const std::wstring text = hidsim::WideText(field(bus->Device(dev->handle.device)));
  const std::size_t n = std::min(text.size(), maxlen - 1);
  std::wmemcpy(string, text.data(), n);
  string[n] = L'\0';
  return 0;
}

int Unsupported(hid_device* dev) {
  if (dev) dev->last_error = kNotSupported;
  return -1;
}

// Runs the body of an exported function; what it throws (out of memory)
// becomes the failure answer.
template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return failure;
  }
}

}  // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void) {
  return Guarded(-1, [] {
    const std::lock_guard lock(g_lock);
    return Bus().InitFails() ? -1 : 0;
  });
}

int HID_API_EXPORT HID_API_CALL hid_exit(void) { return 0; }

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id) {
  return Guarded<hid_device_info*>(nullptr, [&]() -> hid_device_info* {
    const std::lock_guard lock(g_lock);
    hidsim::SimBus& bus = Bus();
    if (bus.InitFails()) return nullptr;
    unique_info head;
    hid_device_info** tail = nullptr;
    for (const hidsim::Listing& item : bus.Enumerate(vendor_id, product_id)) {
      hid_device_info* info = MakeInfo(bus, item.device, item.iface);
      if (!info) break;
      if (tail) {
        *tail = info;
      } else {
        head.reset(info);
      }
      tail = &info->next;
    }
    return head.release();
  });
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs) { FreeInfo(devs); }

HID_API_EXPORT hid_device* HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t* serial_number) {
  return Guarded<hid_device*>(nullptr, [&] {
    const std::lock_guard lock(g_lock);
    hidsim::SimBus& bus = Bus();
    const std::string serial = serial_number ? hidsim::Utf8Text(serial_number) : std::string();
    return MakeDevice(bus.Open(vendor_id, product_id, serial_number ? &serial : nullptr));
  });
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path) {
  return Guarded<hid_device*>(nullptr, [&]() -> hid_device* {
    const std::lock_guard lock(g_lock);
    hidsim::SimBus& bus = Bus();
    if (!path) return nullptr;
    return MakeDevice(bus.OpenPath(path));
  });
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device* dev, const unsigned char*, size_t) {
  return Unsupported(dev);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device* dev, unsigned char*, size_t, int) {
  return Unsupported(dev);
}

int HID_API_EXPORT HID_API_CALL hid_read(hid_device* dev, unsigned char*, size_t) { return Unsupported(dev); }

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device* dev, int) { return dev ? 0 : -1; }

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device* dev, const unsigned char* data,
                                                        size_t length) {
  return Guarded(-1, [&] {
    const std::lock_guard lock(g_lock);
    hidsim::SimBus* bus = BusFor(dev);
    if (!bus) return -1;
    const int result = bus->SendFeature(dev->handle, data, length);
    dev->last_error = result < 0 ? kGone : L"Success";
    return result;
  });
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  return Guarded(-1, [&] {
    const std::lock_guard lock(g_lock);
    hidsim::SimBus* bus = BusFor(dev);
    if (!bus) return -1;
    const int result = bus->GetFeature(dev->handle, data, length);
    dev->last_error = result < 0 ? kGone : L"Success";
    return result;
  });
}

int HID_API_EXPORT HID_API_CALL hid_get_input_report(hid_device* dev, unsigned char*, size_t) {
  return Unsupported(dev);
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev) {
  if (!dev) return;
  // The handle is freed even when the close cannot be logged.
  Guarded(0, [&] {
    const std::lock_guard lock(g_lock);
    if (hidsim::SimBus* bus = BusFor(dev)) bus->Close(dev->handle);
    return 0;
  });
  delete dev;
}

int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return Guarded(-1, [&] {
    return CopyString(
        dev, [](const hidsim::SimDevice& d) -> const std::string& { return d.manufacturer; }, string, maxlen);
  });
}

int HID_API_EXPORT_CALL hid_get_product_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return Guarded(-1, [&] {
    return CopyString(
        dev, [](const hidsim::SimDevice& d) -> const std::string& { return d.product; }, string, maxlen);
  });
}

int HID_API_EXPORT_CALL hid_get_serial_number_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return Guarded(-1, [&] {
    return CopyString(
        dev, [](const hidsim::SimDevice& d) -> const std::string& { return d.serial; }, string, maxlen);
  });
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_get_device_info(hid_device* dev) {
  return Guarded<hid_device_info*>(nullptr, [&]() -> hid_device_info* {
    const std::lock_guard lock(g_lock);
    hidsim::SimBus* bus = BusFor(dev);
    if (!bus) return nullptr;
    if (!dev->info) dev->info.reset(MakeInfo(*bus, dev->handle.device, dev->handle.iface));
    return dev->info.get();
  });
}

int HID_API_EXPORT_CALL hid_get_indexed_string(hid_device* dev, int, wchar_t*, size_t) {
  return Unsupported(dev);
}

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev) {
  return Guarded<const wchar_t*>(L"hid_error failed", [&] {
    const std::lock_guard lock(g_lock);
    return dev ? dev->last_error : g_error;
  });
}

HID_API_EXPORT const struct hid_api_version* HID_API_CALL hid_version(void) {
  static const hid_api_version version = {HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR,
                                          HID_API_VERSION_PATCH};
  return &version;
}

HID_API_EXPORT const char* HID_API_CALL hid_version_str(void) { return HID_API_VERSION_STR; }

#ifdef _WIN32
int HID_API_EXPORT_CALL hid_winapi_get_container_id(hid_device* dev, GUID*) { return Unsupported(dev); }
#endif

}  // extern "C"
