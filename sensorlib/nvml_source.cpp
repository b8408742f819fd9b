#include "sensorlib/nvml_source.h"

#include <array>
#include <initializer_list>

#include "sensorlib/kinds.h"
#include "sensorlib/script.h"
#include "sensorlib/sysfs_text.h"

namespace sensorlib {
namespace {

constexpr int kSuccess = 0;
constexpr int kTemperatureGpu = 0;  // NVML_TEMPERATURE_GPU
constexpr unsigned kMaxCards = 64;

// Quadro and Tesla names carry none of the markers that tell the program a
// card is dedicated; every NVML card is one.
std::string CardName(const char* raw) {
  std::string name = CleanSysfsText(raw, kMaxNameLength);
  if (name.empty()) name = "GPU";
  if (name.find("NVIDIA") == std::string::npos) name = CleanSysfsText("NVIDIA " + name, kMaxNameLength);
  return name;
}

template <typename Fn>
bool Bind(const NvmlResolve& resolve, Fn& out, std::initializer_list<const char*> names,
          std::string& missing) {
  for (const char* name : names) {
    if (const NvmlExport proc = resolve(name)) {
      out = reinterpret_cast<Fn>(proc);
      return true;
    }
  }
  if (missing.empty()) missing = *names.begin();
  return false;
}

}  // namespace

std::string BindNvml(NvmlApi& api, const NvmlResolve& resolve) {
  std::string missing;
  Bind(resolve, api.init, {"nvmlInit_v2", "nvmlInit"}, missing);
  Bind(resolve, api.shutdown, {"nvmlShutdown"}, missing);
  Bind(resolve, api.device_count, {"nvmlDeviceGetCount_v2", "nvmlDeviceGetCount"}, missing);
  Bind(resolve, api.device_by_index, {"nvmlDeviceGetHandleByIndex_v2", "nvmlDeviceGetHandleByIndex"},
       missing);
  Bind(resolve, api.device_name, {"nvmlDeviceGetName"}, missing);
  Bind(resolve, api.temperature, {"nvmlDeviceGetTemperature"}, missing);
  std::string optional;
  Bind(resolve, api.utilization, {"nvmlDeviceGetUtilizationRates"}, optional);
  Bind(resolve, api.fan_speed, {"nvmlDeviceGetFanSpeed"}, optional);
  return missing;
}

NvmlSource::NvmlSource(const NvmlApi& api, std::function<void()> release)
    : api_(api), release_(std::move(release)) {}

NvmlSource::~NvmlSource() {
  api_.shutdown();
  if (release_) release_();
}

void NvmlSource::Open() {
  cards_.clear();
  unsigned count = 0;
  if (api_.device_count(&count) != kSuccess) return;
  for (unsigned i = 0; i < count && i < kMaxCards; ++i) {
    NvmlApi::Device device = nullptr;
    if (api_.device_by_index(i, &device) != kSuccess) continue;
    std::array<char, 97> name{};  // NVML_DEVICE_NAME_V2_BUFFER_SIZE and a NUL of our own
    if (api_.device_name(device, name.data(), static_cast<unsigned>(name.size() - 1)) != kSuccess)
      name[0] = 0;
    cards_.push_back({device, CardName(name.data())});
  }
}

void NvmlSource::Collect(const Moment&, std::vector<SnapshotItem>& items) {
  for (const Card& card : cards_) {
    SnapshotItem item{kKindGraphics, card.name, {}};
    unsigned celsius = 0;
    if (api_.temperature(card.device, kTemperatureGpu, &celsius) == kSuccess && celsius < 200) {
      item.readings.push_back({kClassTemperature, 0, static_cast<double>(celsius), "GPU Temperature"});
    }
    NvmlApi::Utilization rates{};
    if (api_.utilization && api_.utilization(card.device, &rates) == kSuccess && rates.gpu <= 100) {
      item.readings.push_back({kClassLoad, 0, static_cast<double>(rates.gpu), "GPU Utilization"});
      if (rates.memory <= 100) {
        item.readings.push_back({kClassLoad, 1, static_cast<double>(rates.memory), "GPU Memory Controller"});
      }
    }
    unsigned fan = 0;
    if (api_.fan_speed && api_.fan_speed(card.device, &fan) == kSuccess && fan <= 100) {
      item.readings.push_back({kClassFan, 0, static_cast<double>(fan), "GPU Fan"});
    }
    items.push_back(std::move(item));
  }
}

NvmlStart StartNvml(const NvmlApi& api, std::function<void()> release, std::string_view library) {
  if (const int error = api.init(); error != kSuccess) {
    if (release) release();
    return {nullptr, "nvmlInit failed with " + std::to_string(error)};
  }
  auto source = std::make_unique<NvmlSource>(api, std::move(release));
  source->Open();
  if (source->CardCount() == 0) return {nullptr, "NVML reports no NVIDIA card"};
  const std::size_t cards = source->CardCount();
  std::string why =
      std::to_string(cards) + " NVIDIA card" + (cards == 1 ? "" : "s") + " through " + std::string(library);
  return {std::move(source), std::move(why)};
}

}  // namespace sensorlib
