// What the update tests share: the loopback update server started by the
// test run (update_server.py), fresh folders beside the test executable,
// and child processes run with a time bound.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::update::testing {

struct UpdateServerInfo {
  int port = 0;
  int blackhole_port = 0;
};

// Ports are 0 when the server did not start.
UpdateServerInfo LoadUpdateServer();
// The folder the server's state lives in: docroot, corpus, server.txt.
std::filesystem::path UpdateServerState();
// "http://127.0.0.1:<port>/case/<name>": the origin of one served case.
std::wstring CaseOrigin(const std::string& name);
std::wstring ServerOrigin(const std::string& prefix);

std::filesystem::path ExecutableFolder();
// An empty folder beside the test executable.
std::filesystem::path FreshFolder(const std::string& name);

struct ChildResult {
  std::optional<DWORD> exit_code;  // nothing when it did not end in time
  std::chrono::milliseconds took{0};
  std::string output;  // standard output and error
};

// Runs a command line with stdout and stderr captured; a child still
// running at the deadline is ended and reported without an exit code.
ChildResult RunChild(const std::wstring& command_line, std::chrono::milliseconds limit,
                     const std::vector<std::pair<std::wstring, std::wstring>>& environment = {});

bool WaitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit);

}  // namespace ostrel::update::testing
