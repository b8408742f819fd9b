// The update's plain decisions: version comparison and filters, server URLs,
// where an archive entry may be written, and which download folder may be
// used as it is.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "update/entry_ledger.h"
#include "update/extended_timestamp.h"
#include "update/folder_access.h"
#include "update/same_path.h"
#include "update/update_server.h"
#include "update/version_compare.h"
#include "update/version_text.h"
#include "update/zip_entry_kind.h"
#include "update/zip_entry_name.h"

namespace ostrel::update {
namespace {

TEST(CompareVersions, AgainstTheCurrentVersion) {
  EXPECT_EQ(CompareVersions(L"1.0.1.1", L"1.0.1.2"), 1);
  EXPECT_EQ(CompareVersions(L"1.0.1.1", L"1.0.1.1"), 0);
  EXPECT_EQ(CompareVersions(L"1.0.1.1", L"1.0.1.0"), -1);
  EXPECT_EQ(CompareVersions(L"1.0.1.1", L"1.0.2"), 2);  // part counts differ: offered
  EXPECT_EQ(CompareVersions(L"1.0.1.9", L"1.0.1.10"), 1);
  EXPECT_EQ(CompareVersions(L"1.0.1.10", L"1.0.1.9"), -1);
  EXPECT_EQ(CompareVersions(L"1.0.1.1", L"2.0.0.0"), 1);
  // Parts read as _wtoi does: empty and non-numeric parts are 0.
  EXPECT_EQ(CompareVersions(L"", L""), 0);
  EXPECT_EQ(CompareVersions(L"1..1", L"1.0.1"), 0);
  EXPECT_EQ(CompareVersions(L"1.x", L"1.0"), 0);
  EXPECT_EQ(CompareVersions(L"1.0.1.1", L"1.0.1.2\n"), 1);
  EXPECT_EQ(CompareVersions(L"1", L"99999999999"), 1);  // saturates, never overflows
}

TEST(LeadingNumber, ReadsAsTheRuntimeDoes) {
  EXPECT_EQ(LeadingNumber(L"  42abc"), 42);
  EXPECT_EQ(LeadingNumber(L"-7"), -7);
  EXPECT_EQ(LeadingNumber(L"+7"), 7);
  EXPECT_EQ(LeadingNumber(L"x1"), 0);
  EXPECT_EQ(LeadingNumber(L"1.5"), 1);
  EXPECT_EQ(LeadingNumber(L"99999999999999999999"), INT_MAX);
  EXPECT_EQ(LeadingNumber(L"-99999999999999999999"), INT_MIN);
}

TEST(FirmwareIsNewer, DeviceNumberIsItsHexDigitsReadAsDecimal) {
  EXPECT_EQ(DeviceFirmwareNumber(0x102), 102);
  EXPECT_EQ(DeviceFirmwareNumber(0x1A), 1);
  EXPECT_EQ(DeviceFirmwareNumber(0xFFFF), 0);
  EXPECT_TRUE(FirmwareIsNewer(L"13", 0x12));
  EXPECT_FALSE(FirmwareIsNewer(L"12", 0x12));
  EXPECT_TRUE(FirmwareIsNewer(L"2", 0x1A));
  EXPECT_FALSE(FirmwareIsNewer(L"1", 0x1A));
  EXPECT_FALSE(FirmwareIsNewer(L"999", std::nullopt));  // no display answered
  EXPECT_TRUE(FirmwareIsNewer(L"103.7", 0x102));        // a dotted text counts up to its dot
}

TEST(AcceptVersionText, OnlyVersionsOfTheChannelsFormAndLength) {
  using enum Channel;
  EXPECT_EQ(AcceptVersionText(Software, L"1.0.1.2"), L"1.0.1.2");
  EXPECT_EQ(AcceptVersionText(Software, L"1.0.1.2\n"), L"1.0.1.2");
  EXPECT_EQ(AcceptVersionText(Software, L"1.0.1.2\r\n"), L"1.0.1.2");
  EXPECT_EQ(AcceptVersionText(Software, L"1.0.10.200"), L"1.0.10.200");  // ten characters
  EXPECT_EQ(AcceptVersionText(Firmware, L"103"), L"103");
  EXPECT_EQ(AcceptVersionText(Firmware, L"103\n"), L"103");
  const std::vector<std::wstring> unusable = {L"",
                                              L"Not Found",
                                              L"1.0.10.2000",
                                              L"1.0.10.20\r\n",  // eleven characters
                                              L"<?xml version=\"1.0\"?><Error>",
                                              L"1.0\n\n",
                                              L"\n",
                                              L"1.0 ",
                                              L" 1.0",
                                              L"1..0",
                                              L".1",
                                              L"1.",
                                              L".",
                                              L"1.0\r",
                                              L"v1.0",
                                              L"1,0",
                                              L"\x0661.0"};
  for (const auto& text : unusable) {
    EXPECT_FALSE(AcceptVersionText(Software, text)) << "software: " << std::string(text.begin(), text.end());
    EXPECT_FALSE(AcceptVersionText(Firmware, text)) << "firmware: " << std::string(text.begin(), text.end());
  }
  EXPECT_FALSE(AcceptVersionText(Firmware, L"1.0.1.2"));
  EXPECT_FALSE(AcceptVersionText(Firmware, L"-3"));
}

TEST(UpdateServer, OriginComesFromEnvironmentThenRegistryThenBuild) {
  const std::wstring built = L"https://update.ostrel.invalid";
  EXPECT_EQ(ResolveUpdateOrigin(std::nullopt, std::nullopt, built), built);
  EXPECT_EQ(ResolveUpdateOrigin(std::nullopt, L"http://10.0.0.2:81/", built), L"http://10.0.0.2:81");
  EXPECT_EQ(ResolveUpdateOrigin(L"http://127.0.0.1:8123", L"http://10.0.0.2:81", built),
            L"http://127.0.0.1:8123");
  // Unusable values are passed over, not used.
  EXPECT_EQ(ResolveUpdateOrigin(L"", L"http://10.0.0.2:81", built), L"http://10.0.0.2:81");
  EXPECT_EQ(ResolveUpdateOrigin(L"ftp://x", L"C:\\evil", built), built);
  EXPECT_EQ(ResolveUpdateOrigin(L"http://", std::nullopt, built), built);
  EXPECT_EQ(ResolveUpdateOrigin(L"http:///path", std::nullopt, built), built);
  EXPECT_EQ(ResolveUpdateOrigin(L"HTTPS://Host:1/prefix//", std::nullopt, built), L"HTTPS://Host:1/prefix");
}

TEST(UpdateServer, UrlsKeepTheFixedPathsAndThePackageForm) {
  const std::wstring base = ChannelBaseUrl(L"http://127.0.0.1:8123", Channel::Software);
  EXPECT_EQ(base, L"http://127.0.0.1:8123/panel-kit/KX4/software/");
  EXPECT_EQ(VersionUrl(base), L"http://127.0.0.1:8123/panel-kit/KX4/software/version");
  EXPECT_EQ(PackageUrl(base, PackageName(Channel::Software, L"1.0.1.2")),
            L"http://127.0.0.1:8123/panel-kit/KX4/software///Software-1.0.1.2.zip");
  EXPECT_EQ(ProgramName(Channel::Software, L"1.0.1.2"), L"Software-1.0.1.2.exe");
  const std::wstring firmware = ChannelBaseUrl(L"https://h", Channel::Firmware);
  EXPECT_EQ(PackageUrl(firmware, PackageName(Channel::Firmware, L"103")),
            L"https://h/panel-kit/KX4/firmware///FirmwareUpdateTool-103.zip");
  EXPECT_EQ(ProgramName(Channel::Firmware, L"103"), L"FirmwareUpdateTool-103.exe");
}

struct NameCase {
  std::wstring stored;
  std::wstring path;  // empty: refused
};

TEST(CleanEntryName, KeepsTheOriginalCleaningAndRefusesEveryEscape) {
  const std::vector<NameCase> cases = {
      // The two examples of the original cleaning land where they did.
      {L"..\\..\\setup.exe", L"setup.exe"},
      {L"C:\\Program Files\\x.dll", L"Program Files\\x.dll"},
      {L"../../setup.exe", L"setup.exe"},
      {L"dir/sub/file.txt", L"dir\\sub\\file.txt"},
      {L"dir\\sub\\", L"dir\\sub"},
      // Parent steps anywhere drop what lies before them.
      {L"..\\x.txt", L"x.txt"},
      {L"../x.txt", L"x.txt"},
      {L"a/b/../../../x.txt", L"x.txt"},
      {L"a/./b//c", L"a\\b\\c"},
      {L"..", L""},
      {L"../", L""},
      {L"a/..", L""},
      // Absolute, drive-relative, UNC and device paths.
      {L"C:x.txt", L"x.txt"},
      {L"/etc/passwd", L"etc\\passwd"},
      {L"\\\\server\\share\\x", L"server\\share\\x"},
      {L"\\\\?\\C:\\x", L""},
      {L"\\\\.\\PhysicalDrive0", L"PhysicalDrive0"},
      {L"\\\\.\\COM1", L""},
      {L"//?/C:/x", L""},
      // Streams and devices.
      {L"file.txt:hidden", L""},
      {L"file.txt::$DATA", L""},
      {L"a:b/c", L"b\\c"},  // a one-letter first step before ":" reads as a drive
      {L"ab:c", L""},
      {L"CON", L""},
      {L"nul.txt", L""},
      {L"dir/Com1.log", L""},
      {L"LPT1", L""},
      {L"lpt9.x.y", L""},
      {L"aux .txt", L""},
      {L"COM\u00B9", L""},
      {L"CONOUT$", L""},
      {L"console.txt", L"console.txt"},
      {L"COM10", L"COM10"},
      // What Windows would silently rename.
      {L"evil.exe.", L""},
      {L"evil.exe ", L""},
      {L"dir./x", L""},
      {L"...", L""},
      {L"a/.../b", L""},
      {L"x?.txt", L""},
      {L"x*.txt", L""},
      {L"x\x01.txt", L""},
      {L"x\x81.txt", L""},  // an undefined byte of the ANSI code page
      {L"x\x7F.txt", L""},
      {std::wstring(L"ok.txt\0../../x.txt", 19), L""},
      {L"caf\u00E9\u4E2D.txt", L"caf\u00E9\u4E2D.txt"},
      {L"", L""},
      {L"/", L""},
  };
  for (const auto& c : cases) {
    const CleanedEntryName cleaned = CleanEntryName(c.stored);
    const std::string shown(c.stored.begin(), c.stored.end());
    if (c.path.empty()) {
      EXPECT_FALSE(cleaned.ok()) << shown << " -> " << std::string(cleaned.path.begin(), cleaned.path.end());
    } else {
      EXPECT_TRUE(cleaned.ok()) << shown << ": " << cleaned.refusal;
      EXPECT_EQ(cleaned.path, c.path) << shown;
    }
  }
  EXPECT_TRUE(CleanEntryName(L"dir/").names_directory);
  EXPECT_FALSE(CleanEntryName(L"dir/x").names_directory);
  EXPECT_TRUE(CleanEntryName(std::wstring(260, L'a')).ok());
  EXPECT_EQ(CleanEntryName(std::wstring(261, L'a')).refusal, "name longer than 260 characters");
}

TEST(CleanEntryName, NoCleanedNameClimbsOrCarriesADriveOrStream) {
  // Every combination of a few dangerous pieces, four deep.
  const std::vector<std::wstring> pieces = {L"..", L".", L"\\", L"/",       L"C:",
                                            L"a",  L":", L". ", L"\\\\?\\", L"x"};
  std::vector<std::wstring> names = {L""};
  for (int depth = 0; depth < 4; ++depth) {
    std::vector<std::wstring> longer;
    for (const auto& n : names) {
      for (const auto& p : pieces) longer.push_back(n + p);
    }
    names.insert(names.end(), longer.begin(), longer.end());
    if (depth == 3) names = longer;
  }
  for (const auto& n : names) {
    const CleanedEntryName cleaned = CleanEntryName(n);
    if (!cleaned.ok()) continue;
    const std::wstring& p = cleaned.path;
    EXPECT_EQ(p.find(L':'), std::wstring::npos);
    EXPECT_EQ(p.find(L'/'), std::wstring::npos);
    EXPECT_NE(p.front(), L'\\');
    EXPECT_NE(p.back(), L'\\');
    EXPECT_EQ(p.find(L"\\\\"), std::wstring::npos);
    for (std::size_t start = 0; start <= p.size();) {
      std::size_t end = p.find(L'\\', start);
      if (end == std::wstring::npos) end = p.size();
      const std::wstring step = p.substr(start, end - start);
      EXPECT_NE(step, L"..");
      EXPECT_NE(step, L".");
      EXPECT_NE(step.back(), L'.');
      start = end + 1;
    }
  }
}

TEST(ClassifyZipEntry, DosBitsOrUnixModeByHost) {
  const ZipEntryKind dos = ClassifyZipEntry(0x0014, 0x10 | 0x01 | 0x02 | 0x04 | 0x20);
  EXPECT_TRUE(dos.directory && dos.read_only && dos.hidden && dos.system && dos.archive);
  EXPECT_FALSE(ClassifyZipEntry(0x0B14, 0x20).directory);  // NTFS host
  const ZipEntryKind unix_file = ClassifyZipEntry(0x031E, 0100644u << 16);
  EXPECT_FALSE(unix_file.directory || unix_file.read_only || unix_file.symbolic_link);
  EXPECT_TRUE(ClassifyZipEntry(0x031E, 0040755u << 16).directory);
  EXPECT_TRUE(ClassifyZipEntry(0x031E, 0100444u << 16).read_only);
  EXPECT_TRUE(ClassifyZipEntry(0x031E, 0120777u << 16).symbolic_link);
  // A Unix entry carrying a DOS directory bit only is still a file.
  EXPECT_FALSE(ClassifyZipEntry(0x031E, (0100644u << 16) | 0x10).directory);
}

TEST(EntryLedger, NoEntryTurnsAnotherIntoSomethingElse) {
  EntryLedger ledger;
  EXPECT_EQ(ledger.Claim(L"bin\\tool.exe", false), "");
  EXPECT_EQ(ledger.Claim(L"BIN", true), "");  // already a folder; case ignored
  EXPECT_EQ(ledger.Claim(L"bin", false), "same name as a folder entry");
  EXPECT_EQ(ledger.Claim(L"bin\\TOOL.exe", false), "second entry for the same file");
  EXPECT_EQ(ledger.Claim(L"bin\\tool.exe", true), "same name as a file entry");
  EXPECT_EQ(ledger.Claim(L"bin\\tool.exe\\x", false), "a folder on its path is a file entry");
  EXPECT_EQ(ledger.Claim(L"bin\\other.dll", false), "");
}

TEST(ExtendedTimestamp, ReadsFlaggedTimesAndSurvivesShortFields) {
  const std::vector<std::uint8_t> both = {0x55, 0x54, 9, 0, 0x03, 0x10, 0, 0, 0, 0x20, 0, 0, 0};
  const auto t = FindExtendedTimestamp(both);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->modified, 0x10);
  EXPECT_EQ(t->accessed, 0x20);
  EXPECT_FALSE(t->created);
  // Central-directory form: all three flagged, only the first present.
  const std::vector<std::uint8_t> central = {0x01, 0x00, 0, 0, 0x55, 0x54, 5, 0, 0x07, 1, 0, 0, 0};
  const auto c = FindExtendedTimestamp(central);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->modified, 1);
  EXPECT_FALSE(c->accessed);
  const std::vector<std::uint8_t> overrun = {0x55, 0x54, 200, 0, 0x01, 1};
  EXPECT_FALSE(FindExtendedTimestamp(overrun));
  EXPECT_FALSE(FindExtendedTimestamp({}));
}

TEST(SamePath, RepeatedSeparatorsAndCaseDoNotMatter) {
  EXPECT_TRUE(SamePath(L"C:\\Users\\u\\TEMP Files\\\\temp\\Software-1.exe",
                       L"c:/users/u/temp files/temp/software-1.EXE"));
  EXPECT_FALSE(SamePath(L"C:\\a\\b.exe", L"C:\\a\\b.ex"));
  EXPECT_EQ(PathKey(L"\\\\server\\\\x"), L"\\\\SERVER\\X");
}

// Only the folder exactly as the program makes it is used as it is; every
// way an unelevated process could have prepared one sends it aside.
TEST(JudgeExistingFolder, KeepsOnlyTheProgramsOwnFolder) {
  const FolderSecurity own{true, false, Trustee::Administrators, true, true, DownloadFolderEntries()};
  EXPECT_EQ(JudgeExistingFolder(own), FolderDecision::Keep);
  auto by_system = own;
  by_system.owner = Trustee::System;
  EXPECT_EQ(JudgeExistingFolder(by_system), FolderDecision::Keep);

  std::vector<FolderSecurity> prepared;
  for (Trustee owner : {Trustee::User, Trustee::Other}) {
    auto f = own;
    f.owner = owner;  // the owner may rewrite the list at any time
    prepared.push_back(f);
  }
  auto f = own;
  f.is_directory = false;  // a file of that name
  prepared.push_back(f);
  f = own;
  f.is_link = true;  // a junction to a folder the user writes
  prepared.push_back(f);
  f = own;
  f.has_list = false;  // a null list: everyone may do everything
  prepared.push_back(f);
  f = own;
  f.list_protected = false;  // grants of the user's folder above flow in
  prepared.push_back(f);
  f = own;
  f.entries.clear();  // an empty list
  prepared.push_back(f);
  f = own;
  f.entries[2].mask = kFullControl;  // the user may write
  prepared.push_back(f);
  f = own;
  f.entries[2].mask |= 0x2;  // the user may add files
  prepared.push_back(f);
  f = own;
  f.entries.push_back({Trustee::Other, true, kReadAndExecute, kInheritToAll});  // one grant more
  prepared.push_back(f);
  f = own;
  f.entries.push_back({Trustee::User, false, kFullControl, 0});  // even a deny is not the program's
  prepared.push_back(f);
  f = own;
  f.entries[0].flags = 0;  // entries that would not reach what is unpacked
  prepared.push_back(f);
  f = own;
  std::swap(f.entries[0], f.entries[2]);  // the same grants to other trustees
  prepared.push_back(f);
  f = own;
  f.entries[1].allow = false;
  prepared.push_back(f);
  for (std::size_t i = 0; i < prepared.size(); ++i) {
    EXPECT_EQ(JudgeExistingFolder(prepared[i]), FolderDecision::MoveAside) << i;
  }
  // What the program builds: Administrators and SYSTEM full control, the
  // user read and execute, each reaching everything below.
  const auto built = DownloadFolderEntries();
  ASSERT_EQ(built.size(), 3u);
  EXPECT_EQ(built[0], (AccessEntry{Trustee::Administrators, true, 0x001F01FF, 0x03}));
  EXPECT_EQ(built[1], (AccessEntry{Trustee::System, true, 0x001F01FF, 0x03}));
  EXPECT_EQ(built[2], (AccessEntry{Trustee::User, true, 0x001200A9, 0x03}));
}

}  // namespace
}  // namespace ostrel::update
