// A stand-in for NVML (nvml.dll, libnvidia-ml.so.1) with the calls the
// library makes. The scenario comes from the environment of the process that
// loads it: FAKE_NVML_GPUS (default 1, at most 2) and FAKE_NVML_INIT_ERROR
// (default 0).
#include <cstring>

#include "tests/sensors/fake_nvml_env.h"

namespace {

struct Card {
  const char* name;
  unsigned temperature, gpu_load, memory_load, fan;
};
constexpr Card kCards[] = {{"NVIDIA GeForce RTX 3080", 55, 40, 20, 35}, {"Quadro P2000", 71, 90, 60, 80}};

const Card* CardOf(void* device) {
  for (const Card& card : kCards) {
    if (device == &card) return &card;
  }
  return nullptr;
}

constexpr int kInvalidArgument = 2;

}  // namespace

extern "C" {

int nvmlInit_v2() { return static_cast<int>(FakeNvmlVariable("FAKE_NVML_INIT_ERROR", 0)); }
int nvmlShutdown() { return 0; }

int nvmlDeviceGetCount_v2(unsigned* count) {
  *count = FakeNvmlVariable("FAKE_NVML_GPUS", 1);
  if (*count > 2) *count = 2;
  return 0;
}

int nvmlDeviceGetHandleByIndex_v2(unsigned index, void** device) {
  if (index >= 2) return kInvalidArgument;
  *device = const_cast<Card*>(&kCards[index]);
  return 0;
}

int nvmlDeviceGetName(void* device, char* name, unsigned length) {
  const Card* card = CardOf(device);
  if (!card || length == 0) return kInvalidArgument;
  std::strncpy(name, card->name, length - 1);
  name[length - 1] = 0;
  return 0;
}

int nvmlDeviceGetTemperature(void* device, int sensor, unsigned* celsius) {
  const Card* card = CardOf(device);
  if (!card || sensor != 0) return kInvalidArgument;
  *celsius = card->temperature;
  return 0;
}

int nvmlDeviceGetUtilizationRates(void* device, unsigned* rates) {
  const Card* card = CardOf(device);
  if (!card) return kInvalidArgument;
  rates[0] = card->gpu_load;
  rates[1] = card->memory_load;
  return 0;
}

int nvmlDeviceGetFanSpeed(void* device, unsigned* percent) {
  const Card* card = CardOf(device);
  if (!card) return kInvalidArgument;
  *percent = card->fan;
  return 0;
}

}  // extern "C"
