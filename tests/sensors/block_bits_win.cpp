// block_bits.exe: the four fields of the running program's hardware block as
// the bits of their floats ("152=42808000 296=..."), so a script compares
// what two programs published exactly, not as printed.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"

int main() {
  using namespace ostrel::sensors;
  const ostrel::win::unique_handle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, kBlockName));
  if (!mapping) {
    std::fprintf(stderr, "block_bits: no block \"%s\"\n", kBlockName);
    return 1;
  }
  const ostrel::win::unique_mapped_view view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kBlockSize));
  if (!view) return 1;
  for (BlockField field : kBlockFields) {
    const float value = LoadBlockFloat(view.get(), field);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::printf("%zu=%08x%s", static_cast<std::size_t>(field), bits,
                field == BlockField::Mainboard ? "\n" : " ");
  }
  return 0;
}
