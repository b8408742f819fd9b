#include <windows.h>

#include "sensors/sensor_binding.h"

namespace ostrel::sensors {
namespace {

void (*ProcAt(HMODULE library, int ordinal))() {
  return reinterpret_cast<void (*)()>(::GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
}

}  // namespace

EntryPoints BindEntryPoints(const std::string& library_file) noexcept {
  // Never freed, like the entry points taken from it; each binding attempt
  // loads it again.
  const HMODULE library = ::LoadLibraryA(library_file.c_str());
  if (!library) return {};
  return ResolveEntryPoints([library](int ordinal) { return ProcAt(library, ordinal); });
}

}  // namespace ostrel::sensors
