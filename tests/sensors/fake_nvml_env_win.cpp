#include <windows.h>

#include <cstdlib>

#include "tests/sensors/fake_nvml_env.h"

// The process environment itself: tests set it with SetEnvironmentVariableW,
// which the C runtime's copy does not see.
unsigned FakeNvmlVariable(const char* name, unsigned fallback) {
  char text[32];
  const DWORD n = ::GetEnvironmentVariableA(name, text, sizeof text);
  return n > 0 && n < sizeof text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}
