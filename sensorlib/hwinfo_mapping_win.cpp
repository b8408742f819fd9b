#include "sensorlib/hwinfo_mapping_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/win/unique_any.h"
#include "sensorlib/hwinfo_block.h"
#include "sensorlib/hwinfo_source.h"

namespace sensorlib {
namespace {

// A block larger than this is not HWiNFO's.
constexpr SIZE_T kMaxBlock = 64 << 20;

struct Mapping {
  ostrel::win::unique_handle section;
  ostrel::win::unique_mapped_view view;
  SIZE_T size = 0;
};

// The view's size as the system mapped it: what the header is checked
// against (the section may be shorter than its last page; those bytes read
// as zero).
SIZE_T MappedSize(const void* view) {
  MEMORY_BASIC_INFORMATION info{};
  if (::VirtualQuery(view, &info, sizeof info) != sizeof info) return 0;
  return std::min(info.RegionSize, kMaxBlock);
}

std::optional<std::vector<std::byte>> Copy(const Mapping& mapping) {
  std::vector<std::byte> bytes(mapping.size);
  std::memcpy(bytes.data(), mapping.view.get(), mapping.size);
  return bytes;
}

}  // namespace

DetectedSource DetectHwinfo() {
  auto mapping = std::make_shared<Mapping>();
  mapping->section.reset(::OpenFileMappingW(FILE_MAP_READ, FALSE, kHwinfoMappingName));
  if (!mapping->section) return {"hwinfo", nullptr, "HWiNFO is not running (no Global\\HWiNFO_SENS_SM2)"};
  mapping->view.reset(::MapViewOfFile(mapping->section.get(), FILE_MAP_READ, 0, 0, 0));
  if (!mapping->view) return {"hwinfo", nullptr, "Global\\HWiNFO_SENS_SM2 cannot be mapped"};
  mapping->size = MappedSize(mapping->view.get());
  const auto first = Copy(*mapping);
  const HwinfoParse parsed = ParseHwinfoBlock(*first);
  if (!parsed.block) return {"hwinfo", nullptr, "Global\\HWiNFO_SENS_SM2: " + parsed.why};
  const std::string why = "Global\\HWiNFO_SENS_SM2: " + std::to_string(parsed.block->sensors.size()) +
                          " sensors, " + std::to_string(parsed.block->readings.size()) + " readings";
  return {"hwinfo", std::make_unique<HwinfoSource>([mapping] { return Copy(*mapping); }), why};
}

}  // namespace sensorlib
