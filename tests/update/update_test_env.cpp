#include "tests/update/update_test_env.h"

#include <fstream>
#include <sstream>
#include <thread>

#include "common/win/unique_any.h"

namespace ostrel::update::testing {

std::filesystem::path ExecutableFolder() {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path();
}

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
  ChildResult result;
  static int counter = 0;
  const auto log = ExecutableFolder() / "update_runs" / ("child-" + std::to_string(++counter) + ".log");
  std::filesystem::create_directories(log.parent_path());
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  win::unique_file out(::CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  STARTUPINFOW startup{sizeof startup};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.get();
  startup.hStdError = out.get();
  startup.hStdInput = nullptr;
  for (const auto& [name, value] : environment) ::SetEnvironmentVariableW(name.c_str(), value.c_str());
  std::wstring line = command_line;
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  const BOOL created = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &process);
  for (const auto& [name, value] : environment) ::SetEnvironmentVariableW(name.c_str(), nullptr);
  if (!created) return result;
  const win::unique_handle process_handle(process.hProcess);
  const win::unique_handle thread_handle(process.hThread);
  if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0) {
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    result.exit_code = code;
  } else {
    ::TerminateProcess(process.hProcess, 99);
    ::WaitForSingleObject(process.hProcess, 5000);
  }
  result.took =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  out.reset();
  std::ifstream in(log, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  result.output = text.str();
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
