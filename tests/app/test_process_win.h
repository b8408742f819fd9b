// Child processes for the app tests: started from a file, waited for with a
// limit, and ended by the owner if still running.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "common/win/unique_any.h"

namespace ostrel::app::testing {

inline std::filesystem::path ExecutableFolder() {
  std::wstring path(MAX_PATH * 4, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return std::filesystem::path(path).parent_path();
}

// <build>/tests holds the tests, <build>/bin what a user gets, <build>/sim
// the stand-ins.
inline std::filesystem::path BuildFolder() { return ExecutableFolder().parent_path(); }

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const std::filesystem::path& exe, const std::wstring& arguments) {
    std::wstring command_line = L"\"" + exe.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(exe.wstring().c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         exe.parent_path().wstring().c_str(), &startup, &info)) {
      process_.reset(info.hProcess);
      ::CloseHandle(info.hThread);
      id_ = info.dwProcessId;
    }
  }
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;
  ~ChildProcess() {
    if (process_ && Running()) ::TerminateProcess(process_.get(), 99);
  }

  bool Started() const { return static_cast<bool>(process_); }
  DWORD Id() const { return id_; }
  bool Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  // The exit code, or STILL_ACTIVE when the limit passed first.
  DWORD WaitExit(std::chrono::milliseconds limit) const {
    ::WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count()));
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
  }

 private:
  win::unique_handle process_;
  DWORD id_ = 0;
};

}  // namespace ostrel::app::testing
