#include "daemon/config_file_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/printable.h"

namespace ostrel::daemon {

ConfigLoad LoadDaemonConfig(const std::string& path) {
  ConfigLoad load;
  const std::string shown = Printable(path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) {
      load.missing = true;
      load.config = DaemonConfig{};
    } else {
      load.error = shown + ": " + std::strerror(errno);
    }
    return load;
  }
  struct stat facts {};
  std::string text;
  if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
    load.error = shown + ": not a regular file";
  } else {
    // One byte past the limit tells a file that is too long; more is not read.
    text.resize(kMaxConfigBytes + 1);
    std::size_t got = 0;
    while (got < text.size()) {
      const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        load.error = shown + ": " + std::strerror(errno);
        break;
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    text.resize(got);
  }
  ::close(fd);
  if (!load.error.empty()) return load;
  ConfigParse parsed = ParseDaemonConfig(text);
  if (!parsed.config) {
    load.error = parsed.line > 0 ? shown + " line " + std::to_string(parsed.line) + ": " + parsed.error
                                 : shown + ": " + parsed.error;
    return load;
  }
  load.config = std::move(parsed.config);
  return load;
}

}  // namespace ostrel::daemon
