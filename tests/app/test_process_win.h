// Programs as a test runs them: from a copy of <build>/bin, started and
// waited for with a limit and ended by the owner if still running, or run
// to their end with what they print captured.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

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

// Copies a folder file by file, as a user unzips <build>/bin into a folder
// of their own (libstdc++'s copy fails on Windows when the target exists,
// whatever the options).
inline void CopyTree(const std::filesystem::path& from, const std::filesystem::path& to) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(from)) {
    const std::filesystem::path target = to / std::filesystem::relative(entry.path(), from);
    if (entry.is_directory()) {
      std::filesystem::create_directories(target);
    } else {
      std::filesystem::create_directories(target.parent_path());
      ::CopyFileW(entry.path().wstring().c_str(), target.wstring().c_str(), FALSE);
    }
  }
}

// Polls until the condition holds; false when the limit passed first.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

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

struct RunOptions {
  std::filesystem::path folder;  // the working folder; empty: this process's
  std::chrono::milliseconds limit = std::chrono::seconds(60);
  bool error_apart = false;  // stderr into CapturedRun::error, not with stdout
  DWORD creation_flags = 0;
};

struct CapturedRun {
  bool started = false;
  bool ended = false;  // false: not started, or still running at the limit and ended by us
  DWORD exit_code = STILL_ACTIVE;
  std::string output;  // stdout, and stderr unless asked for apart
  std::string error;
  std::chrono::milliseconds took{0};
};

namespace detail {

struct Pipe {
  win::unique_handle read;
  win::unique_handle write;
};

// Only the write end is inherited.
inline Pipe OutputPipe() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!::CreatePipe(&read, &write, &inherit, 1 << 16)) return {};
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  return {win::unique_handle(read), win::unique_handle(write)};
}

// Takes only what is waiting: a grandchild that inherited the write end may
// hold it long after the child ended, so a read to the end could block.
inline void TakeWaiting(const Pipe& pipe, std::string& into) {
  if (!pipe.read) return;
  char buffer[4096];
  DWORD waiting = 0;
  while (::PeekNamedPipe(pipe.read.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
    DWORD got = 0;
    if (!::ReadFile(pipe.read.get(), buffer, std::min<DWORD>(waiting, sizeof buffer), &got, nullptr) ||
        got == 0) {
      return;
    }
    into.append(buffer, got);
  }
}

}  // namespace detail

// Runs a command line to its end, draining its output while it runs so a
// full pipe never stalls it; a child still running at the limit is ended
// with exit code 99 and reported as not ended.
inline CapturedRun RunCapturedLine(std::wstring command_line, const RunOptions& options = {}) {
  CapturedRun run;
  detail::Pipe out = detail::OutputPipe();
  detail::Pipe err = options.error_apart ? detail::OutputPipe() : detail::Pipe{};
  if (!out.read || (options.error_apart && !err.read)) return run;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.write.get();
  startup.hStdError = options.error_apart ? err.write.get() : out.write.get();
  PROCESS_INFORMATION info{};
  const auto start = std::chrono::steady_clock::now();
  const BOOL created =
      ::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, options.creation_flags, nullptr,
                       options.folder.empty() ? nullptr : options.folder.c_str(), &startup, &info);
  out.write.reset();
  err.write.reset();
  if (!created) return run;
  run.started = true;
  const win::unique_handle process(info.hProcess);
  const win::unique_handle thread(info.hThread);
  const auto deadline = start + options.limit;
  while (!run.ended && std::chrono::steady_clock::now() < deadline) {
    run.ended = ::WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0;
    detail::TakeWaiting(out, run.output);
    detail::TakeWaiting(err, run.error);
  }
  if (run.ended) {
    ::GetExitCodeProcess(process.get(), &run.exit_code);
  } else {
    ::TerminateProcess(process.get(), 99);
    ::WaitForSingleObject(process.get(), 5000);
    detail::TakeWaiting(out, run.output);
    detail::TakeWaiting(err, run.error);
  }
  run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  return run;
}

// Runs exe from its own folder, as a user starting it there would, unless
// the options name another.
inline CapturedRun RunCaptured(const std::filesystem::path& exe, const std::wstring& arguments,
                               RunOptions options = {}) {
  if (options.folder.empty()) options.folder = exe.parent_path();
  return RunCapturedLine(L"\"" + exe.wstring() + L"\" " + arguments, options);
}

// Console programs write text-mode output: "\n" arrives as "\r\n".
inline std::string UnixLineEnds(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace ostrel::app::testing
