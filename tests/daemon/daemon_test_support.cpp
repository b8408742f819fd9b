#include "tests/daemon/daemon_test_support.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace ostrel::daemon::testing {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void WriteText(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::create_directories(file.parent_path());
  // Rewritten in place, as a sysfs value changes: the daemon keeps its files
  // open and reads them again from the start.
  std::ofstream(file, std::ios::trunc) << text;
}

void ReplaceText(const std::filesystem::path& file, const std::string& text) {
  const auto temporary = file.string() + ".new";
  std::ofstream(temporary, std::ios::trunc) << text;
  std::filesystem::rename(temporary, file);
}

void WriteTree(const std::filesystem::path& root, int cpu_millidegrees) {
  const auto chip = root / "sys/class/hwmon/hwmon0";
  WriteText(chip / "name", "k10temp\n");
  WriteText(chip / "temp1_label", "Tctl\n");
  WriteText(chip / "temp1_input", std::to_string(cpu_millidegrees) + "\n");
  WriteText(root / "proc/stat", "cpu  10 0 10 100 0 0 0 0 0 0\n");
}

std::vector<std::vector<std::string>> LogLines(const std::filesystem::path& log) {
  std::vector<std::vector<std::string>> lines;
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> split;
    for (std::string word; words >> word;) split.push_back(word);
    if (!split.empty()) lines.push_back(std::move(split));
  }
  return lines;
}

std::vector<std::array<int, 3>> SentDigits(const std::filesystem::path& log, std::size_t from) {
  std::vector<std::array<int, 3>> digits;
  const auto lines = LogLines(log);
  for (std::size_t i = from; i < lines.size(); ++i) {
    const auto& words = lines[i];
    if (words[0] != "send_feature" || words.size() < 10) continue;
    digits.push_back({std::stoi(words[7], nullptr, 16), std::stoi(words[8], nullptr, 16),
                      std::stoi(words[9], nullptr, 16)});
  }
  return digits;
}

std::size_t CountLines(const std::filesystem::path& log, const std::string& kind, std::size_t from) {
  const auto lines = LogLines(log);
  std::size_t count = 0;
  for (std::size_t i = from; i < lines.size(); ++i) count += lines[i][0] == kind ? 1 : 0;
  return count;
}

std::optional<BlockSeen> ReadBlock() {
  const int fd = ::shm_open("/brovan_hardware_mapfile", O_RDONLY, 0);
  if (fd < 0) return std::nullopt;
  struct stat facts {};
  BlockSeen seen;
  if (::fstat(fd, &facts) != 0 || facts.st_size < 632) {
    ::close(fd);
    return std::nullopt;
  }
  seen.mode = facts.st_mode & 07777;
  seen.size = facts.st_size;
  void* view = ::mmap(nullptr, 632, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (view == MAP_FAILED) return std::nullopt;
  const std::size_t offsets[] = {152, 296, 444, 584};
  for (std::size_t i = 0; i < 4; ++i) {
    std::memcpy(&seen.fields[i], static_cast<const char*>(view) + offsets[i], 4);
  }
  ::munmap(view, 632);
  return seen;
}

NotifySocket::NotifySocket(std::filesystem::path path) : path_(std::move(path)) {
  fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
  ::unlink(path_.c_str());
  ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

NotifySocket::~NotifySocket() {
  ::close(fd_);
  ::unlink(path_.c_str());
}

std::vector<std::string> NotifySocket::Take() {
  std::vector<std::string> messages;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    messages.emplace_back(buffer, static_cast<std::size_t>(n));
  }
  return messages;
}

void SendUdevEvent(const std::filesystem::path& socket, const std::string& action) {
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
  const std::string text = action + " hidraw";
  ::sendto(fd, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::close(fd);
}

}  // namespace ostrel::daemon::testing
