// NVIDIA cards through NVML (nvml.dll, loaded at run time, never linked):
// name, temperature, load and fan of each card. The API comes in as plain
// function pointers, so the source is tested without a driver.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sensorlib/sensor_source.h"

namespace sensorlib {

// The calls of nvml.h used here, with its opaque device handle as void*.
// Every call answers 0 (NVML_SUCCESS) or an error code.
struct NvmlApi {
  using Device = void*;
  struct Utilization {
    unsigned gpu, memory;
  };
  int (*init)() = nullptr;
  int (*shutdown)() = nullptr;
  int (*device_count)(unsigned* count) = nullptr;
  int (*device_by_index)(unsigned index, Device* device) = nullptr;
  int (*device_name)(Device device, char* name, unsigned length) = nullptr;
  int (*temperature)(Device device, int sensor, unsigned* celsius) = nullptr;
  int (*utilization)(Device device, Utilization* rates) = nullptr;  // optional
  int (*fan_speed)(Device device, unsigned* percent) = nullptr;     // optional
};

class NvmlSource final : public SensorSource {
 public:
  // api is initialised; release lets go of what its pointers live in (the
  // loaded module), after nvmlShutdown.
  NvmlSource(const NvmlApi& api, std::function<void()> release);
  ~NvmlSource() override;
  NvmlSource(const NvmlSource&) = delete;
  NvmlSource& operator=(const NvmlSource&) = delete;

  void Open() override;
  bool Changed() override { return false; }
  void Collect(const Moment& moment, std::vector<SnapshotItem>& items) override;

  // The cards found at the last Open.
  std::size_t CardCount() const noexcept { return cards_.size(); }

 private:
  struct Card {
    NvmlApi::Device device;
    std::string name;
  };
  NvmlApi api_;
  std::function<void()> release_;
  std::vector<Card> cards_;
};

// Takes up NVML through api (nvmlInit and a first look at the cards): a
// source, or nothing and why not.
struct NvmlStart {
  std::unique_ptr<NvmlSource> source;
  std::string why;
};
// library: the file the calls came from, for the description.
NvmlStart StartNvml(const NvmlApi& api, std::function<void()> release, std::string_view library = "nvml.dll");

// Fills api through resolve(name), which gives an exported function or
// nullptr, taking the newest name a driver exports. Returns the first
// required call missing, empty when api is complete.
using NvmlExport = void (*)();
using NvmlResolve = std::function<NvmlExport(const char* name)>;
std::string BindNvml(NvmlApi& api, const NvmlResolve& resolve);

}  // namespace sensorlib
