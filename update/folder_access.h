// Who may do what in the download folder. The elevated program starts what
// it unpacked there, so nobody but administrators may be able to write it:
// Administrators and SYSTEM have full control, the user read and execute,
// and nothing is inherited from the user's own (writable) folders above.
//
// A folder of that name that is already there is used only when it is
// exactly such a folder; anything else (another owner, another entry, an
// inherited entry, a link) may have been prepared by an unelevated process,
// and is moved aside before a fresh one is made.
#pragma once

#include <cstdint>
#include <vector>

namespace ostrel::update {

enum class Trustee { Administrators, System, User, Other };

struct AccessEntry {
  Trustee who = Trustee::Other;
  bool allow = true;
  std::uint32_t mask = 0;
  std::uint8_t flags = 0;  // inheritance flags as the entry carries them
  bool operator==(const AccessEntry&) const = default;
};

// What the file system says about an existing folder.
struct FolderSecurity {
  bool is_directory = false;
  bool is_link = false;  // a junction or symbolic link
  Trustee owner = Trustee::Other;
  bool has_list = false;        // a null list grants everyone everything
  bool list_protected = false;  // entries of the folder above do not flow in
  std::vector<AccessEntry> entries;
};

inline constexpr std::uint32_t kFullControl = 0x001F01FF;     // FILE_ALL_ACCESS
inline constexpr std::uint32_t kReadAndExecute = 0x001200A9;  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
inline constexpr std::uint8_t kInheritToAll = 0x03;           // OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE

// The list the program gives the folder, in this order.
std::vector<AccessEntry> DownloadFolderEntries();

enum class FolderDecision { Keep, MoveAside };

FolderDecision JudgeExistingFolder(const FolderSecurity& found);

}  // namespace ostrel::update
