// The shared hardware block: its layout, what a pass writes into it, and the
// single aligned 32-bit loads and stores through which other processes see
// each field whole. Every byte but the four fields belongs to someone else.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "sensors/name_rules.h"

namespace ostrel::sensors {

inline constexpr char kBlockName[] = "brovan_hardware_mapfile";
inline constexpr std::size_t kBlockSize = 632;

enum class BlockField : std::size_t {
  Cpu = 152,
  GpuDedicated = 296,
  GpuIntegrated = 444,
  Mainboard = 584,
};
inline constexpr BlockField kBlockFields[] = {BlockField::Cpu, BlockField::GpuDedicated,
                                              BlockField::GpuIntegrated, BlockField::Mainboard};

std::string_view BlockFieldName(BlockField field) noexcept;

// One field's fate after a pass. A field written with 0 because the other
// graphics group was found carries that group as origin and cleared = true.
struct FieldWrite {
  bool write = false;  // false: the field keeps its value
  float value = 0;
  std::optional<ResultId> origin;
  bool cleared = false;
  ReadingSource source;
};

struct BlockUpdate {
  FieldWrite cpu, gpu_dedicated, gpu_integrated, mainboard;
  const FieldWrite& operator[](BlockField field) const noexcept;
};

BlockUpdate DecideBlockUpdate(const PassResults& results) noexcept;

// block points at the 632-byte view (at least 4-byte aligned, as every
// mapped view is). Only the fields the update writes are touched.
void ApplyBlockUpdate(void* block, const BlockUpdate& update) noexcept;

void StoreBlockFloat(void* block, BlockField field, float value) noexcept;
float LoadBlockFloat(const void* block, BlockField field) noexcept;

}  // namespace ostrel::sensors
