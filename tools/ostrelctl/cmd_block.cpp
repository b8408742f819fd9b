// ostrelctl block: the four values of a hardware block some other process
// (normally Ostrel) holds. Opens it read-only and never creates it.
#include <windows.h>

#include <cstdio>
#include <string_view>

#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"
#include "tools/ostrelctl/command.h"

namespace ostrelctl {

int RunBlock(Args args) {
  using namespace ostrel::sensors;
  if (!args.empty()) {
    std::fprintf(stderr, "ostrelctl block: takes no arguments\n");
    return 2;
  }
  ostrel::win::unique_handle section(::OpenFileMappingA(FILE_MAP_READ, FALSE, kBlockName));
  if (!section) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
      std::fprintf(stderr, "ostrelctl: no hardware block \"%s\" exists (is Ostrel running?)\n", kBlockName);
    } else {
      std::fprintf(stderr, "ostrelctl: cannot open the hardware block \"%s\" (error %lu)\n", kBlockName,
                   error);
    }
    return 1;
  }
  ostrel::win::unique_mapped_view view(::MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0));
  MEMORY_BASIC_INFORMATION info{};
  if (!view || ::VirtualQuery(view.get(), &info, sizeof info) == 0 || info.RegionSize < kBlockSize) {
    std::fprintf(stderr, "ostrelctl: cannot map the hardware block \"%s\" (error %lu)\n", kBlockName,
                 ::GetLastError());
    return 1;
  }
  std::printf("\"%s\":\n", kBlockName);
  for (BlockField field : kBlockFields) {
    const std::string_view name = BlockFieldName(field);
    std::printf("  %-26.*s offset %3zu %8.1f\n", static_cast<int>(name.size()), name.data(),
                static_cast<std::size_t>(field), LoadBlockFloat(view.get(), field));
  }
  return 0;
}

}  // namespace ostrelctl
