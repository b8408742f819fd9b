#include "update/folder_access.h"

namespace ostrel::update {

std::vector<AccessEntry> DownloadFolderEntries() {
  return {
      {Trustee::Administrators, true, kFullControl, kInheritToAll},
      {Trustee::System, true, kFullControl, kInheritToAll},
      {Trustee::User, true, kReadAndExecute, kInheritToAll},
  };
}

FolderDecision JudgeExistingFolder(const FolderSecurity& found) {
  if (!found.is_directory || found.is_link) return FolderDecision::MoveAside;
  // Only an administrator can make either owner; any other owner may
  // rewrite the list whenever it likes.
  if (found.owner != Trustee::Administrators && found.owner != Trustee::System)
    return FolderDecision::MoveAside;
  if (!found.has_list || !found.list_protected) return FolderDecision::MoveAside;
  // Exactly the entries the program writes, in its order: a deny entry or
  // an extra grant is not the program's doing.
  if (found.entries != DownloadFolderEntries()) return FolderDecision::MoveAside;
  return FolderDecision::Keep;
}

}  // namespace ostrel::update
