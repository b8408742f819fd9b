#include <shlwapi.h>
#include <windows.h>

#include <string>

#include "common/swallowed_failure.h"
#include "update/directory_tree.h"

namespace ostrel::update {

bool CreateDirectoryTree(const wchar_t* path) noexcept {
  if (!path || !*path) return false;
  if (::PathIsDirectoryW(path)) return true;
  try {
    const std::wstring full(path);
    // Each prefix that ends before a later backslash; most exist already and
    // fail harmlessly.
    const std::size_t first = full.find(L'\\');
    if (first != std::wstring::npos) {
      for (std::size_t at = full.find(L'\\', first + 1); at != std::wstring::npos;
           at = full.find(L'\\', at + 1)) {
        ::CreateDirectoryW(full.substr(0, at).c_str(), nullptr);
      }
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return false;
  }
  ::SetLastError(ERROR_SUCCESS);
  if (::CreateDirectoryW(path, nullptr)) return true;
  // A file of that name also answers "already exists"; it is no folder.
  return ::GetLastError() == ERROR_ALREADY_EXISTS && ::PathIsDirectoryW(path);
}

}  // namespace ostrel::update
