// The host's files as the hwmon source needs them: folder listings and small
// reads. Paths use '/' and are handed through as they are, so one source
// serves a Linux host seen through Wine's Z: drive, a fake tree on a
// Windows path, and the native tests.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sensorlib {

class HostFiles {
 public:
  virtual ~HostFiles() = default;
  // The names in a folder without "." and ".."; nothing when it cannot be
  // listed.
  virtual std::optional<std::vector<std::string>> List(const std::string& folder) = 0;
  // A file's bytes; nothing when it cannot be opened or read, or holds more
  // than limit bytes (no sysfs value is that long: it is not a value).
  virtual std::optional<std::string> Read(const std::string& path, std::size_t limit) = 0;
};

// The files of this machine (Win32 in the library, POSIX in native tests).
std::unique_ptr<HostFiles> MakeHostFiles();

}  // namespace sensorlib
