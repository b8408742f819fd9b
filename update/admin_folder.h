// The download folder as the elevated program makes it: only Administrators
// and SYSTEM can write it (folder_access.h), and it is held open without
// delete sharing while an install works in it, so it cannot be renamed away
// and swapped for a prepared one between the check and the start.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/win/unique_any.h"
#include "update/folder_access.h"

namespace ostrel::update {

struct AdminFolder {
  win::unique_file handle;  // the folder itself
  std::string refusal;      // why there is none; empty when held
  std::wstring moved_to;    // where a folder that was not the program's went
};

// Makes `path` such a folder: an existing one is kept only when it is
// exactly what the program makes, else it is moved aside and a fresh one is
// made. The folder above must exist.
AdminFolder HoldAdminOnlyFolder(const std::wstring& path) noexcept;

// What the file system says about a folder's owner and access list
// (GetNamedSecurityInfoW); nothing when it cannot be read.
std::optional<FolderSecurity> ReadFolderSecurity(const std::wstring& path) noexcept;
// The security a new download folder is made with, read back as above.
std::optional<FolderSecurity> DescribeDownloadFolderSecurity() noexcept;

}  // namespace ostrel::update
