// The host's files through POSIX: a file stays open and each read is one
// pread at offset 0, which makes sysfs and procfs produce the value afresh
// without a seek or an open per pass.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "sensorlib/host_files.h"

namespace sensorlib {
namespace {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }

 private:
  int fd_;
};

// Never blocks on a FIFO a test tree might hold, and never becomes a
// controlling terminal.
UniqueFd OpenForReading(const std::string& path) {
  return UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
}

class PosixHostFile final : public HostFile {
 public:
  explicit PosixHostFile(UniqueFd fd) : fd_(std::move(fd)) {}
  // One pread: a sysfs attribute comes whole from its first read, and of
  // /proc/stat only the head is wanted, so reading on to the end would only
  // double the system calls of every pass.
  std::optional<std::size_t> ReadHead(std::span<char> buffer) override {
    for (;;) {
      const ssize_t got = ::pread(fd_.get(), buffer.data(), buffer.size(), 0);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) return std::nullopt;
    }
  }
  // A file unlinked while open (a test tree rewritten by rename) keeps its
  // old bytes readable; only its link count tells.
  bool Gone() override {
    struct stat info {};
    return ::fstat(fd_.get(), &info) != 0 || info.st_nlink == 0;
  }

 private:
  UniqueFd fd_;
};

struct DirCloser {
  void operator()(DIR* dir) const noexcept { ::closedir(dir); }
};

class PosixHostFiles final : public HostFiles {
 public:
  std::optional<std::vector<std::string>> List(const std::string& folder) override {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get())) {
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      names.emplace_back(entry->d_name);
    }
    return names;
  }

  // The buffer grows with what the file holds: the limit of /proc/cpuinfo
  // (4 MB) would otherwise be committed, and stay in the peak, at every
  // discovery for a few kilobytes.
  std::optional<std::string> Read(const std::string& path, std::size_t limit) override {
    const UniqueFd fd = OpenForReading(path);
    if (!fd) return std::nullopt;
    std::string data;
    std::size_t filled = 0;
    while (filled <= limit) {
      if (filled == data.size()) data.resize(std::min(std::max<std::size_t>(filled * 2, 4096), limit + 1));
      const ssize_t got =
          ::pread(fd.get(), data.data() + filled, data.size() - filled, static_cast<off_t>(filled));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return std::nullopt;
      if (got == 0) break;
      filled += static_cast<std::size_t>(got);
    }
    if (filled > limit) return std::nullopt;
    data.resize(filled);
    return data;
  }

  std::unique_ptr<HostFile> Open(const std::string& path) override {
    UniqueFd fd = OpenForReading(path);
    if (!fd) return nullptr;
    struct stat info {};
    // A folder opens read-only too, but reads from it fail.
    if (::fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;
    return std::make_unique<PosixHostFile>(std::move(fd));
  }
};

}  // namespace

std::unique_ptr<HostFiles> MakeHostFiles() { return std::make_unique<PosixHostFiles>(); }

}  // namespace sensorlib
