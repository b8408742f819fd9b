// A simulated HID bus for one test: writes the simulator's configuration into
// the test's own folder and points the simulator (hidapi.dll beside the test)
// at it and at a fresh log.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::device::testing {

// One log line split at spaces: "send_feature display 0 65 07 FF ...".
struct SimEvent {
  std::vector<std::string> words;
  const std::string& kind() const { return words.at(0); }
  std::string where() const { return words.at(1) + " " + words.at(2); }  // device and interface
};

class SimSession {
 public:
  explicit SimSession(std::string_view config);
  // Replaces the configuration; the simulator picks it up at its next call.
  void Reconfigure(std::string_view config) const;

  const std::filesystem::path& Folder() const { return folder_; }
  std::vector<SimEvent> Events() const;
  std::vector<SimEvent> Events(std::string_view kind) const;
  // The payload bytes of a send_feature or get_feature event.
  static std::vector<std::uint8_t> Bytes(const SimEvent& event);

 private:
  std::filesystem::path folder_;
  std::filesystem::path config_;
  std::filesystem::path log_;
};

// The folder of the running test executable.
std::filesystem::path ExecutableFolder();

}  // namespace ostrel::device::testing
