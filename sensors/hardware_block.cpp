#include "sensors/hardware_block.h"

#include <atomic>
#include <bit>
#include <cstdint>

namespace ostrel::sensors {
namespace {

std::uint32_t* FieldWord(void* block, BlockField field) noexcept {
  return reinterpret_cast<std::uint32_t*>(static_cast<std::byte*>(block) + static_cast<std::size_t>(field));
}

FieldWrite From(const PassResults& results, ResultId id) noexcept {
  const Candidate& c = results[id];
  return {.write = true, .value = c.value, .origin = id, .cleared = false, .source = c.source};
}

FieldWrite ClearedBy(ResultId id) noexcept {
  return {.write = true, .value = 0, .origin = id, .cleared = true};
}

}  // namespace

std::string_view BlockFieldName(BlockField field) noexcept {
  switch (field) {
    case BlockField::Cpu:
      return "CPU temperature";
    case BlockField::GpuDedicated:
      return "dedicated GPU temperature";
    case BlockField::GpuIntegrated:
      return "integrated GPU temperature";
    case BlockField::Mainboard:
      return "mainboard temperature";
  }
  return "?";
}

const FieldWrite& BlockUpdate::operator[](BlockField field) const noexcept {
  switch (field) {
    case BlockField::GpuDedicated:
      return gpu_dedicated;
    case BlockField::GpuIntegrated:
      return gpu_integrated;
    case BlockField::Mainboard:
      return mainboard;
    case BlockField::Cpu:
      break;
  }
  return cpu;
}

BlockUpdate DecideBlockUpdate(const PassResults& results) noexcept {
  BlockUpdate u;
  for (ResultId id :
       {ResultId::ProcessorPackage, ResultId::BoardPackage, ResultId::TctlTdie, ResultId::BoardCpu}) {
    if (results[id].found) {
      u.cpu = From(results, id);
      break;
    }
  }
  if (results[ResultId::GpuDedicated].found) {
    u.gpu_dedicated = From(results, ResultId::GpuDedicated);
    u.gpu_integrated = ClearedBy(ResultId::GpuDedicated);
  } else if (results[ResultId::GpuIntegrated].found) {
    u.gpu_integrated = From(results, ResultId::GpuIntegrated);
    u.gpu_dedicated = ClearedBy(ResultId::GpuIntegrated);
  }
  if (results[ResultId::Mainboard].found) u.mainboard = From(results, ResultId::Mainboard);
  return u;
}

void ApplyBlockUpdate(void* block, const BlockUpdate& update) noexcept {
  for (BlockField field : kBlockFields) {
    if (update[field].write) StoreBlockFloat(block, field, update[field].value);
  }
}

void StoreBlockFloat(void* block, BlockField field, float value) noexcept {
  std::atomic_ref<std::uint32_t>(*FieldWord(block, field))
      .store(std::bit_cast<std::uint32_t>(value), std::memory_order_relaxed);
}

float LoadBlockFloat(const void* block, BlockField field) noexcept {
  return std::bit_cast<float>(std::atomic_ref<std::uint32_t>(*FieldWord(const_cast<void*>(block), field))
                                  .load(std::memory_order_relaxed));
}

}  // namespace ostrel::sensors
