#include <windows.h>

#include "common/win/text.h"
#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"
#include "tools/ostrelctl/system_access.h"

namespace ostrelctl {
namespace {

void (*ProcAt(HMODULE library, int ordinal))() {
  return reinterpret_cast<void (*)()>(::GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
}

}  // namespace

std::optional<SensorDiagnostics> LoadSensorDiagnostics(const std::string& library) {
  const HMODULE module = ::LoadLibraryA(library.c_str());
  if (!module) return std::nullopt;
  SensorDiagnostics d;
  d.init = reinterpret_cast<ostrel::sensors::InitFn>(ProcAt(module, ostrel::sensors::kOrdinalInit));
  d.hardware_source =
      reinterpret_cast<sensorlib::HardwareSourceFn>(ProcAt(module, sensorlib::kOrdinalHardwareSource));
  d.describe_sources =
      reinterpret_cast<sensorlib::DescribeSourcesFn>(ProcAt(module, sensorlib::kOrdinalDescribeSources));
  return d;
}

std::string LibraryShownName(const std::string& library) { return library; }

bool BlockExists() {
  const ostrel::win::unique_handle section(
      ::OpenFileMappingA(FILE_MAP_READ, FALSE, ostrel::sensors::kBlockName));
  return static_cast<bool>(section);
}

PublishedBlock ReadPublishedBlock() {
  using namespace ostrel::sensors;
  PublishedBlock block;
  ostrel::win::unique_handle section(::OpenFileMappingA(FILE_MAP_READ, FALSE, kBlockName));
  if (!section) {
    const DWORD error = ::GetLastError();
    block.error = error == ERROR_FILE_NOT_FOUND
                      ? "no hardware block \"" + std::string(kBlockName) + "\" exists (is Ostrel running?)"
                      : "cannot open the hardware block \"" + std::string(kBlockName) + "\" (error " +
                            std::to_string(error) + ")";
    return block;
  }
  ostrel::win::unique_mapped_view view(::MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0));
  MEMORY_BASIC_INFORMATION info{};
  if (!view || ::VirtualQuery(view.get(), &info, sizeof info) == 0 || info.RegionSize < kBlockSize) {
    block.error = "cannot map the hardware block \"" + std::string(kBlockName) + "\" (error " +
                  std::to_string(::GetLastError()) + ")";
    return block;
  }
  std::array<float, 4> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = LoadBlockFloat(view.get(), kBlockFields[i]);
  block.fields = fields;
  return block;
}

const char* BlockShownName() { return ostrel::sensors::kBlockName; }
const char* PublisherName() { return "Ostrel"; }

std::string Utf8(const std::wstring& text) { return ostrel::win::Narrow(text); }

}  // namespace ostrelctl
