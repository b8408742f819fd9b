#include <windows.h>
// After windows.h, which they build on.
#include <aclapi.h>
#include <winternl.h>

#include <array>
#include <vector>

#include "common/swallowed_failure.h"
#include "update/admin_folder.h"

namespace ostrel::update {

namespace {

using SidBytes = std::vector<BYTE>;

SidBytes WellKnown(WELL_KNOWN_SID_TYPE type) {
  DWORD size = SECURITY_MAX_SID_SIZE;
  SidBytes sid(size);
  if (!::CreateWellKnownSid(type, nullptr, sid.data(), &size)) return {};
  sid.resize(size);
  return sid;
}

SidBytes CurrentUser() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  const win::unique_handle token(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
  return SidBytes(static_cast<const BYTE*>(sid), static_cast<const BYTE*>(sid) + ::GetLengthSid(sid));
}

struct Sids {
  SidBytes administrators = WellKnown(WinBuiltinAdministratorsSid);
  SidBytes system = WellKnown(WinLocalSystemSid);
  SidBytes user = CurrentUser();

  bool Complete() const { return !administrators.empty() && !system.empty() && !user.empty(); }

  Trustee Classify(PSID sid) const {
    if (!sid || !::IsValidSid(sid)) return Trustee::Other;
    const auto is = [sid](const SidBytes& known) {
      return !known.empty() && ::EqualSid(sid, const_cast<BYTE*>(known.data()));
    };
    if (is(administrators)) return Trustee::Administrators;
    if (is(system)) return Trustee::System;
    if (is(user)) return Trustee::User;
    return Trustee::Other;
  }

  PSID Of(Trustee who) const {
    const SidBytes& sid = who == Trustee::Administrators ? administrators
                          : who == Trustee::System       ? system
                                                         : user;
    return const_cast<BYTE*>(sid.data());
  }
};

std::optional<FolderSecurity> Describe(const Sids& sids, DWORD attributes, PSID owner, PACL list,
                                       PSECURITY_DESCRIPTOR descriptor) {
  FolderSecurity found;
  found.is_directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  found.is_link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  found.owner = sids.Classify(owner);
  found.has_list = list != nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!::GetSecurityDescriptorControl(descriptor, &control, &revision)) return std::nullopt;
  found.list_protected = (control & SE_DACL_PROTECTED) != 0;
  if (!list) return found;
  for (DWORD i = 0; i < list->AceCount; ++i) {
    void* raw = nullptr;
    if (!::GetAce(list, i, &raw)) return std::nullopt;
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    AccessEntry entry;
    entry.flags = header->AceFlags;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      // Both kinds share one layout: header, mask, SID.
      const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
      entry.allow = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
      entry.mask = ace->Mask;
      entry.who = sids.Classify(const_cast<DWORD*>(&ace->SidStart));
    } else {
      entry.allow = false;  // object or callback entries: never the program's
    }
    found.entries.push_back(entry);
  }
  return found;
}

std::optional<FolderSecurity> ReadHeld(const Sids& sids, HANDLE folder) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(folder, &info)) return std::nullopt;
  PSID owner = nullptr;
  PACL list = nullptr;
  win::unique_hlocal descriptor;
  if (::GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        &owner, nullptr, &list, nullptr,
                        reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Describe(sids, info.dwFileAttributes, owner, list, descriptor.get());
}

// The list of folder_access.h, protected from what the folder above grants,
// owned by Administrators.
class BuiltDescriptor {
 public:
  explicit BuiltDescriptor(const Sids& sids) {
    const auto entries = DownloadFolderEntries();
    DWORD size = sizeof(ACL);
    for (const auto& entry : entries) size += sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sids.Of(entry.who));
    list_.resize(size);
    auto* list = reinterpret_cast<PACL>(list_.data());
    ok_ = ::InitializeAcl(list, size, ACL_REVISION);
    for (const auto& entry : entries) {
      ok_ = ok_ && ::AddAccessAllowedAceEx(list, ACL_REVISION, entry.flags, entry.mask, sids.Of(entry.who));
    }
    ok_ = ok_ && ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
          ::SetSecurityDescriptorDacl(&descriptor_, TRUE, list, FALSE) &&
          ::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED) &&
          ::SetSecurityDescriptorOwner(&descriptor_, sids.Of(Trustee::Administrators), FALSE);
  }
  BuiltDescriptor(const BuiltDescriptor&) = delete;
  BuiltDescriptor& operator=(const BuiltDescriptor&) = delete;

  SECURITY_ATTRIBUTES* Attributes() noexcept {
    attributes_ = {sizeof(attributes_), &descriptor_, FALSE};
    return ok_ ? &attributes_ : nullptr;
  }

 private:
  std::vector<BYTE> list_;  // DWORD-aligned by the allocator
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
  bool ok_ = false;
};

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

// Opened to read its security; without delete sharing, nobody can rename
// or remove it while it is held.
constexpr DWORD kHoldAccess = READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE;
constexpr DWORD kHoldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

win::unique_file OpenFolder(const std::wstring& path) {
  return win::unique_file(::CreateFileW(path.c_str(), kHoldAccess, kHoldSharing, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Makes the folder and opens it in one step, with the program's security
// from its first moment: there is no instant in which the name could be
// pointed at a folder someone else made. CreateDirectoryW and a later open
// would leave one, since the user may rename entries of the folder above.
win::unique_file CreateHeldFolder(const std::wstring& path, SECURITY_DESCRIPTOR* descriptor) {
  const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return {};
  full.resize(got);
  // The NT name of a drive path, a UNC path or an already literal one.
  std::wstring nt;
  if (full.starts_with(L"\\\\?\\")) {
    nt = L"\\??\\" + full.substr(4);
  } else if (full.starts_with(L"\\\\")) {
    nt = L"\\??\\UNC\\" + full.substr(2);
  } else {
    nt = L"\\??\\" + full;
  }
  UNICODE_STRING name{};
  name.Buffer = nt.data();
  name.Length = static_cast<USHORT>(nt.size() * sizeof(wchar_t));
  name.MaximumLength = name.Length;
  OBJECT_ATTRIBUTES object{};
  InitializeObjectAttributes(&object, &name, OBJ_CASE_INSENSITIVE, nullptr, descriptor);
  IO_STATUS_BLOCK status{};
  HANDLE folder = INVALID_HANDLE_VALUE;
  if (!NT_SUCCESS(::NtCreateFile(
          &folder, kHoldAccess, &object, &status, nullptr, FILE_ATTRIBUTE_NORMAL, kHoldSharing, FILE_CREATE,
          FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0))) {
    return {};
  }
  return win::unique_file(folder);
}

}  // namespace

std::optional<FolderSecurity> ReadFolderSecurity(const std::wstring& path) noexcept {
  try {
    const Sids sids;
    const std::wstring name = WithoutTrailingSeparators(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    PSID owner = nullptr;
    PACL list = nullptr;
    win::unique_hlocal descriptor;
    if (::GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                                &list, nullptr,
                                reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return Describe(sids, attributes, owner, list, descriptor.get());
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return std::nullopt;
  }
}

AdminFolder HoldAdminOnlyFolder(const std::wstring& path) noexcept {
  AdminFolder folder;
  try {
    const Sids sids;
    if (!sids.Complete()) {
      folder.refusal = "account identities unreadable";
      return folder;
    }
    const std::wstring name = WithoutTrailingSeparators(path);
    if (::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
      // Judged through the handle that is then kept: what is held is what
      // was checked.
      folder.handle = OpenFolder(name);
      const auto found = folder.handle ? ReadHeld(sids, folder.handle.get()) : std::nullopt;
      if (!found || JudgeExistingFolder(*found) != FolderDecision::Keep) {
        folder.handle.reset();
        // Moving keeps whatever was prepared there for a look afterwards,
        // and moves a link itself, never what it points to.
        folder.moved_to = name + L".aside-" + std::to_wstring(::GetTickCount64());
        if (!::MoveFileExW(name.c_str(), folder.moved_to.c_str(), 0)) {
          folder.refusal = "a folder not made by the program could not be moved aside";
          return folder;
        }
      }
    }
    if (!folder.handle) {
      BuiltDescriptor descriptor(sids);
      SECURITY_ATTRIBUTES* attributes = descriptor.Attributes();
      if (!attributes) {
        folder.refusal = "access list could not be built";
        return folder;
      }
      // A folder that appeared after the move is someone else's: refused,
      // not reused.
      folder.handle =
          CreateHeldFolder(name, static_cast<SECURITY_DESCRIPTOR*>(attributes->lpSecurityDescriptor));
      if (!folder.handle) folder.refusal = "download folder could not be made";
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    folder.handle.reset();
    if (folder.refusal.empty()) folder.refusal = "out of memory";
  }
  return folder;
}

std::optional<FolderSecurity> DescribeDownloadFolderSecurity() noexcept {
  try {
    const Sids sids;
    BuiltDescriptor descriptor(sids);
    const SECURITY_ATTRIBUTES* attributes = descriptor.Attributes();
    if (!attributes) return std::nullopt;
    auto* built = static_cast<SECURITY_DESCRIPTOR*>(attributes->lpSecurityDescriptor);
    PSID owner = nullptr;
    PACL list = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    if (!::GetSecurityDescriptorOwner(built, &owner, &defaulted) ||
        !::GetSecurityDescriptorDacl(built, &present, &list, &defaulted) || !present) {
      return std::nullopt;
    }
    return Describe(sids, FILE_ATTRIBUTE_DIRECTORY, owner, list, built);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return std::nullopt;
  }
}

}  // namespace ostrel::update
