// ostrelctl sources [--library FILE]: the sensor library's sources as
// SensorInit finds them on this machine, each "found" or "absent" and why.
#include <cstdio>
#include <string>
#include <string_view>

#include "sensors/sensor_api.h"
#include "tools/ostrelctl/command.h"
#include "tools/ostrelctl/system_access.h"

namespace ostrelctl {
namespace {

// "<name>\t<state>\t<why>" lines as a table.
void PrintSources(std::string_view text) {
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    const std::size_t a = line.find('\t');
    const std::size_t b = a == std::string_view::npos ? a : line.find('\t', a + 1);
    if (b == std::string_view::npos) continue;
    const std::string name(line.substr(0, a)), state(line.substr(a + 1, b - a - 1)), why(line.substr(b + 1));
    std::printf("  %-22s %-7s %s\n", name.c_str(), state.c_str(), why.c_str());
  }
}

}  // namespace

int RunSources(Args args) {
  std::string library(ostrel::sensors::kLibraryFileName);
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--library" && i + 1 < args.size()) {
      library = args[++i];
    } else {
      std::fprintf(stderr, "ostrelctl sources: unknown argument '%.*s'\n", static_cast<int>(args[i].size()),
                   args[i].data());
      return 2;
    }
  }
  const auto diagnostics = LoadSensorDiagnostics(library);
  if (!diagnostics) {
    std::fprintf(stderr, "ostrelctl: cannot load the sensor library %s\n", library.c_str());
    return 1;
  }
  const auto init = diagnostics->init;
  const auto describe = diagnostics->describe_sources;
  if (!init || !describe) {
    std::fprintf(stderr, "ostrelctl: %s does not describe its sources\n", library.c_str());
    return 1;
  }
  const std::int32_t result = init(ostrel::sensors::kInitFlags);
  if (result != 0) std::printf("SensorInit failed with %d\n", static_cast<int>(result));
  std::string text(4096, '\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::int32_t needed = describe(text.data(), static_cast<std::int32_t>(text.size()));
    if (needed <= 0) text.clear();
    if (needed <= 0 || static_cast<std::size_t>(needed) <= text.size()) break;
    text.assign(static_cast<std::size_t>(needed), '\0');
  }
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  std::printf("Sensor sources of %s, in order of precedence:\n", LibraryShownName(library).c_str());
  PrintSources(text);
  return 0;
}

}  // namespace ostrelctl
