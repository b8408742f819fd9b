// ostrelctl block: the four values of a hardware block some other process
// (normally Ostrel, or ostreld on Linux) holds. Opens it read-only and never
// creates it.
#include <cstdio>
#include <string_view>

#include "sensors/hardware_block.h"
#include "tools/ostrelctl/command.h"
#include "tools/ostrelctl/system_access.h"

namespace ostrelctl {

int RunBlock(Args args) {
  using namespace ostrel::sensors;
  if (!args.empty()) {
    std::fprintf(stderr, "ostrelctl block: takes no arguments\n");
    return 2;
  }
  const PublishedBlock block = ReadPublishedBlock();
  if (!block.fields) {
    std::fprintf(stderr, "ostrelctl: %s\n", block.error.c_str());
    return 1;
  }
  std::printf("\"%s\":\n", BlockShownName());
  for (std::size_t i = 0; i < block.fields->size(); ++i) {
    const BlockField field = kBlockFields[i];
    const std::string_view name = BlockFieldName(field);
    std::printf("  %-26.*s offset %3zu %8.1f\n", static_cast<int>(name.size()), name.data(),
                static_cast<std::size_t>(field), (*block.fields)[i]);
  }
  return 0;
}

}  // namespace ostrelctl
