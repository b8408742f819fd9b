// ostreld's configuration file: `key = value` lines, `#` starts a comment.
// It holds only what the daemon uses: `cpu_sensor = <chip>/<label>`, the
// user's own choice of the CPU reading (empty or absent: the automatic one).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel::daemon {

inline constexpr char kDefaultConfigPath[] = "/etc/ostrel/ostreld.conf";
// A configuration of a few lines; anything this long is not one.
inline constexpr std::size_t kMaxConfigBytes = 64 * 1024;

struct DaemonConfig {
  std::string cpu_sensor;  // "chip/label", or empty
};

struct ConfigParse {
  std::optional<DaemonConfig> config;
  // Without a config: the 1-based line at fault (0: the file as a whole)
  // and what is wrong with it.
  int line = 0;
  std::string error;
};

ConfigParse ParseDaemonConfig(std::string_view text);

}  // namespace ostrel::daemon
