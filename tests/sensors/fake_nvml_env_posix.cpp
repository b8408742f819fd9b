#include <cstdlib>

#include "tests/sensors/fake_nvml_env.h"

unsigned FakeNvmlVariable(const char* name, unsigned fallback) {
  const char* text = std::getenv(name);
  return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}
