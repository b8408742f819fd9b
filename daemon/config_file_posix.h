// Reading ostreld's configuration file from disk.
#pragma once

#include <string>

#include "daemon/daemon_config.h"

namespace ostrel::daemon {

struct ConfigLoad {
  std::optional<DaemonConfig> config;  // empty: error says why
  bool missing = false;                // no such file: the defaults
  std::string error;                   // "<path> line N: ...", or about the file
};

ConfigLoad LoadDaemonConfig(const std::string& path);

}  // namespace ostrel::daemon
