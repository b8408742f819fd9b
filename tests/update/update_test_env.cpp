#include "tests/update/update_test_env.h"

#include <fstream>
#include <thread>

#include "tests/app/test_process_win.h"

namespace ostrel::update::testing {

std::filesystem::path ExecutableFolder() { return app::testing::ExecutableFolder(); }

std::filesystem::path UpdateServerState() { return ExecutableFolder() / "update_service"; }

UpdateServerInfo LoadUpdateServer() {
  UpdateServerInfo info;
  std::ifstream in(UpdateServerState() / "server.txt");
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const int value = std::stoi(line.substr(eq + 1));
    if (line.starts_with("port=")) info.port = value;
    if (line.starts_with("blackhole_port=")) info.blackhole_port = value;
  }
  return info;
}

std::wstring ServerOrigin(const std::string& prefix) {
  return L"http://127.0.0.1:" + std::to_wstring(LoadUpdateServer().port) +
         std::wstring(prefix.begin(), prefix.end());
}

std::wstring CaseOrigin(const std::string& name) { return ServerOrigin("/case/" + name); }

std::filesystem::path FreshFolder(const std::string& name) {
  const auto folder = ExecutableFolder() / "update_runs" / name;
  std::error_code ignored;
  // Read-only files left by an earlier run would stop remove_all.
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder, ignored)) {
    ::SetFileAttributesW(item.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  return folder;
}

ChildResult RunChild(const std::wstring& command_line, std::chrono::milliseconds limit,
                     const std::vector<std::pair<std::wstring, std::wstring>>& environment) {
  for (const auto& [name, value] : environment) ::SetEnvironmentVariableW(name.c_str(), value.c_str());
  const auto run =
      app::testing::RunCapturedLine(command_line, {.limit = limit, .creation_flags = CREATE_NO_WINDOW});
  for (const auto& [name, value] : environment) ::SetEnvironmentVariableW(name.c_str(), nullptr);
  ChildResult result;
  if (run.ended) result.exit_code = run.exit_code;
  result.took = run.took;
  result.output = run.output;
  return result;
}

bool WaitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return std::filesystem::exists(path);
}

}  // namespace ostrel::update::testing
