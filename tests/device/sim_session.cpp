#include "tests/device/sim_session.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

namespace ostrel::device::testing {

std::filesystem::path ExecutableFolder() {
  wchar_t path[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  return std::filesystem::path(path).parent_path();
}

SimSession::SimSession(std::string_view config) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  folder_ = ExecutableFolder() / "work" / (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
  config_ = folder_ / "hidsim.ini";
  log_ = folder_ / "hidsim.log";
  Reconfigure(config);
  ::SetEnvironmentVariableW(L"HIDSIM_CONFIG", config_.wstring().c_str());
  ::SetEnvironmentVariableW(L"HIDSIM_LOG", log_.wstring().c_str());
}

void SimSession::Reconfigure(std::string_view config) const {
  std::ofstream(config_, std::ios::binary | std::ios::trunc) << config;
}

std::vector<SimEvent> SimSession::Events() const {
  std::vector<SimEvent> events;
  std::ifstream in(log_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    SimEvent event;
    std::istringstream words(line);
    for (std::string word; words >> word;) event.words.push_back(word);
    if (!event.words.empty()) events.push_back(std::move(event));
  }
  return events;
}

std::vector<SimEvent> SimSession::Events(std::string_view kind) const {
  std::vector<SimEvent> matching;
  for (auto& event : Events()) {
    if (event.kind() == kind) matching.push_back(std::move(event));
  }
  return matching;
}

std::vector<std::uint8_t> SimSession::Bytes(const SimEvent& event) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 4; i < event.words.size(); ++i) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(event.words[i], nullptr, 16)));
  }
  return bytes;
}

}  // namespace ostrel::device::testing
