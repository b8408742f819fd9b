// The host's files as the hwmon source needs them: folder listings and small
// reads. Paths use '/' and are handed through as they are, so one source
// serves a Linux host seen through Wine's Z: drive, a fake tree on a
// Windows path, and the native tests.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sensorlib {

// A file kept open across updates: each read starts again at its beginning,
// which makes sysfs and procfs produce the value afresh without the cost of
// opening the file again (under Wine an open is a trip to the wineserver).
class HostFile {
 public:
  virtual ~HostFile() = default;
  // Fills buffer from the file's start, up to its size; the bytes read, or
  // nothing once it cannot be read (the device went away).
  virtual std::optional<std::size_t> ReadHead(std::span<char> buffer) = 0;
  // Whether the file was removed from its folder while open (a removed
  // device's files fail to read instead; a rewritten fake tree's do not).
  virtual bool Gone() = 0;
};

class HostFiles {
 public:
  virtual ~HostFiles() = default;
  // The names in a folder without "." and ".."; nothing when it cannot be
  // listed.
  virtual std::optional<std::vector<std::string>> List(const std::string& folder) = 0;
  // A file's bytes; nothing when it cannot be opened or read, or holds more
  // than limit bytes (no sysfs value is that long: it is not a value).
  virtual std::optional<std::string> Read(const std::string& path, std::size_t limit) = 0;
  // Nothing when the file cannot be opened for reading.
  virtual std::unique_ptr<HostFile> Open(const std::string& path) = 0;
};

// The files of this machine (Win32 in the library, POSIX in native tests).
std::unique_ptr<HostFiles> MakeHostFiles();

}  // namespace sensorlib
