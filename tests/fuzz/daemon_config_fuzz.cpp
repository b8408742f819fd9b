// ostreld's configuration rules: no text crashes them; a refusal names a
// line that exists (0 only for the size), an acceptance holds a choice that
// is empty or a chip and a label, free of control characters and comments.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "daemon/daemon_config.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ostrel::daemon;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ConfigParse parsed = ParseDaemonConfig(text);
  const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  if (!parsed.config) {
    OSTREL_FUZZ_CHECK(!parsed.error.empty());
    OSTREL_FUZZ_CHECK(parsed.line >= 0 && parsed.line <= lines);
    OSTREL_FUZZ_CHECK(parsed.line > 0 || size > kMaxConfigBytes);
    return 0;
  }
  const std::string& choice = parsed.config->cpu_sensor;
  OSTREL_FUZZ_CHECK(choice.find('#') == std::string::npos);
  OSTREL_FUZZ_CHECK(std::none_of(choice.begin(), choice.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }));
  if (!choice.empty()) {
    const auto slash = choice.find('/');
    OSTREL_FUZZ_CHECK(slash != std::string::npos && slash > 0 && slash + 1 < choice.size());
  }
  return 0;
}
