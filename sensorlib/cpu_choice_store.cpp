#include "sensorlib/cpu_choice_store.h"

#include <mutex>

namespace sensorlib {
namespace {

struct Store {
  std::mutex mutex;
  std::optional<CpuSensorChoice> choice;
};

Store& TheStore() {
  static Store store;
  return store;
}

}  // namespace

void StoreCpuChoice(std::optional<CpuSensorChoice> choice) {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  store.choice = std::move(choice);
}

std::optional<CpuSensorChoice> CurrentCpuChoice() {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  return store.choice;
}

}  // namespace sensorlib
