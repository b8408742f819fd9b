#include "app/process_kill_win.h"

#include <windows.h>
// After windows.h, whatever include sorting would prefer.
#include <tlhelp32.h>

#include <optional>

#include "app/process_name.h"
#include "common/win/unique_any.h"

namespace ostrel::app {
namespace {

// The first match's id; the snapshot is closed before the process is opened.
std::optional<DWORD> FindFirstProcess(const wchar_t* name, bool& listed) noexcept {
  win::unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  listed = static_cast<bool>(snapshot);
  if (!snapshot) return std::nullopt;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    // szExeFile may fill all of its 260 characters without a terminator.
    const std::wstring_view exe(entry.szExeFile, ::wcsnlen(entry.szExeFile, MAX_PATH));
    if (SameExecutableName(exe, name)) return entry.th32ProcessID;
  }
  return std::nullopt;
}

}  // namespace

bool KillProcessByName(const wchar_t* name) noexcept {
  if (!name) return false;
  bool listed = false;
  const std::optional<DWORD> id = FindFirstProcess(name, listed);
  if (id) {
    win::unique_handle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, *id));
    if (process) ::TerminateProcess(process.get(), 0);
  }
  return listed;
}

}  // namespace ostrel::app
