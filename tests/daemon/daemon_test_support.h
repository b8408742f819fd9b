// What the ostreld scenarios look at from outside: the fake tree, the
// simulator's log, the block in /dev/shm, systemd's notification socket.
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::daemon::testing {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds within);

// A one-chip hwmon tree with a CPU reading in millidegrees.
void WriteTree(const std::filesystem::path& root, int cpu_millidegrees);
void WriteText(const std::filesystem::path& file, const std::string& text);
// Replaced whole at once, for the simulator, which reads its file at any call.
void ReplaceText(const std::filesystem::path& file, const std::string& text);

// The simulator's log lines, split into words.
std::vector<std::vector<std::string>> LogLines(const std::filesystem::path& log);
// The h t u digits of each accepted report, from line `from` on.
std::vector<std::array<int, 3>> SentDigits(const std::filesystem::path& log, std::size_t from = 0);
std::size_t CountLines(const std::filesystem::path& log, const std::string& kind, std::size_t from = 0);

inline constexpr char kBlockPath[] = "/dev/shm/brovan_hardware_mapfile";
struct BlockSeen {
  std::array<float, 4> fields{};  // CPU, dedicated GPU, integrated GPU, mainboard
  unsigned mode = 0;
  long long size = 0;
};
// Read as any other local program reads it: opened read-only by name.
std::optional<BlockSeen> ReadBlock();

// A socket in place of systemd's; Take returns the messages so far.
class NotifySocket {
 public:
  explicit NotifySocket(std::filesystem::path path);
  ~NotifySocket();
  std::vector<std::string> Take();

 private:
  std::filesystem::path path_;
  int fd_ = -1;
};

// Sends "<action> hidraw" as udevd would broadcast it.
void SendUdevEvent(const std::filesystem::path& socket, const std::string& action);

}  // namespace ostrel::daemon::testing
