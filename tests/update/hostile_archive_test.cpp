// The extraction against archives made to escape, lie or break (the corpus
// update_fixtures.py writes at the start of the run), each unpacked by
// `ostrelctl extract` into a fresh target whose parent holds a sentinel;
// and the extraction's own bookkeeping in process.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/update/update_test_env.h"
#include "update/directory_tree.h"
#include "update/zip_extract.h"

namespace ostrel::update {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct CorpusEntry {
  std::string name;
  int exit_code = 0;
  std::vector<std::string> present, absent;
  bool in_program_folder = false;
  int written = -1;  // entries written; -1 when not checked
};

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> out;
  if (text == "-") return out;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ';')) out.push_back(item);
  return out;
}

std::vector<CorpusEntry> LoadCorpus() {
  std::vector<CorpusEntry> corpus;
  std::ifstream in(testing::UpdateServerState() / "corpus" / "manifest.tsv");
  std::string line;
  while (std::getline(in, line)) {
    std::stringstream fields(line);
    std::string name, code, present, absent, program, written;
    if (!std::getline(fields, name, '\t') || !std::getline(fields, code, '\t') ||
        !std::getline(fields, present, '\t') || !std::getline(fields, absent, '\t') ||
        !std::getline(fields, program, '\t') || !std::getline(fields, written, '\t')) {
      continue;
    }
    corpus.push_back({name, std::stoi(code), SplitList(present), SplitList(absent), program == "1",
                      written == "-" ? -1 : std::stoi(written)});
  }
  return corpus;
}

// Every path under `root`, relative, with nothing below `skip`.
std::set<std::string> Listing(const fs::path& root, const fs::path& skip = {}) {
  std::set<std::string> names;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(root, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    if (!skip.empty() && it->path() == skip) it.disable_recursion_pending();
    names.insert(fs::relative(it->path(), root).string());
  }
  return names;
}

// The places an escaping entry would most likely land, by name.
std::set<std::string> EscapedAnywhere() {
  std::set<std::string> found;
  for (const fs::path& place :
       {fs::path("C:\\"), fs::path("C:\\windows\\temp"), fs::path("Z:\\"), fs::path("Z:\\tmp"),
        testing::ExecutableFolder(), testing::ExecutableFolder() / "update_runs"}) {
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(place, ignored)) {
      const std::string name = item.path().filename().string();
      if (name.find("escaped") != std::string::npos) found.insert(item.path().string());
    }
  }
  return found;
}

TEST(HostileArchives, NothingAppearsOutsideTheTargetAndEveryRunEnds) {
  const auto corpus = LoadCorpus();
  ASSERT_GE(corpus.size(), 40u) << "corpus missing: is the update server fixture running?";
  const fs::path ostrelctl = testing::ExecutableFolder().parent_path() / "bin" / "ostrelctl.exe";
  ASSERT_TRUE(fs::exists(ostrelctl));
  const auto escaped_before = EscapedAnywhere();

  for (const auto& c : corpus) {
    SCOPED_TRACE(c.name);
    const fs::path run = testing::FreshFolder("hostile\\" + c.name);
    const fs::path parent = run / "parent";
    const fs::path target = parent / "target";
    fs::create_directories(target);
    std::ofstream(parent / "sentinel.txt") << "sentinel";
    fs::path program = ostrelctl;
    if (c.in_program_folder) {
      program = target / "ostrelctl.exe";
      fs::copy_file(ostrelctl, program);
      fs::copy_file(ostrelctl.parent_path() / "hidapi.dll", target / "hidapi.dll");
    }
    const fs::path archive = testing::UpdateServerState() / "corpus" / (c.name + ".zip");
    const auto result = testing::RunChild(L"\"" + program.wstring() + L"\" extract \"" + archive.wstring() +
                                              L"\" \"" + target.wstring() + L"\"",
                                          30s);
    ASSERT_TRUE(result.exit_code) << "did not end within 30 s";
    EXPECT_EQ(*result.exit_code, static_cast<DWORD>(c.exit_code)) << result.output;
    EXPECT_LT(result.took, 30s);

    EXPECT_EQ(Listing(run, target),
              (std::set<std::string>{"parent", "parent\\sentinel.txt", "parent\\target"}))
        << result.output;
    std::ifstream sentinel(parent / "sentinel.txt");
    std::string text;
    std::getline(sentinel, text);
    EXPECT_EQ(text, "sentinel");
    if (c.written >= 0) {
      EXPECT_NE(result.output.find(std::to_string(c.written) + " of "), std::string::npos) << result.output;
    }
    for (const auto& p : c.present) EXPECT_TRUE(fs::exists(target / p)) << p << "\n" << result.output;
    for (const auto& p : c.absent) EXPECT_FALSE(fs::exists(target / p)) << p << "\n" << result.output;
    if (c.in_program_folder) {
      EXPECT_GT(fs::file_size(program), 1000u) << "the running program was replaced";
      EXPECT_NE(result.output.find("refused ostrelctl.exe: would replace the running program"),
                std::string::npos)
          << result.output;
    }
    // No link of any kind was created inside the target either.
    for (const auto& item : fs::recursive_directory_iterator(target)) {
      EXPECT_FALSE(::GetFileAttributesW(item.path().c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) << item.path();
    }
  }
  EXPECT_EQ(EscapedAnywhere(), escaped_before);
}

TEST(ZipExtract, KeepsToTheTotalBoundAndReportsEveryEntry) {
  const fs::path archive = testing::UpdateServerState() / "corpus" / "python-zipfile.zip";
  ASSERT_TRUE(fs::exists(archive));
  const fs::path target = testing::FreshFolder("bound");
  ExtractOptions options;
  options.max_total_bytes = 10;  // the first entry (8 bytes) fits, the second does not
  const ExtractReport report = ExtractZip(archive.c_str(), target.c_str(), options);
  EXPECT_TRUE(report.opened);
  ASSERT_EQ(report.entries.size(), 2u);
  EXPECT_EQ(report.entries[0].refusal, "");
  EXPECT_EQ(report.entries[1].refusal, "would pass the extraction's size bound");
  EXPECT_EQ(report.total_bytes, 8u);
  EXPECT_FALSE(report.Complete());
  EXPECT_TRUE(report.Wrote((target / "top.txt").wstring()));
  EXPECT_FALSE(report.Wrote((target / "sub" / "dir" / "deep.txt").wstring()));

  // Times come from the entry: 2026-01-02 03:04:06 local.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExW((target / "top.txt").c_str(), GetFileExInfoStandard, &data));
  FILETIME local{};
  SYSTEMTIME time{};
  ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  ::FileTimeToSystemTime(&local, &time);
  EXPECT_EQ(time.wYear, 2026);
  EXPECT_EQ(time.wMonth, 1);
  EXPECT_EQ(time.wDay, 2);
  EXPECT_EQ(time.wHour, 3);
  EXPECT_EQ(time.wMinute, 4);

  // Unopenable archives report as such; a second run over the same target
  // replaces what the first wrote.
  EXPECT_FALSE(ExtractZip(L"no-such-archive.zip", target.c_str()).opened);
  EXPECT_FALSE(ExtractZipToFolder(L"no-such-archive.zip", target.c_str()));
  EXPECT_TRUE(ExtractZipToFolder(archive.c_str(), target.c_str()));
  EXPECT_TRUE(ExtractZip(archive.c_str(), target.c_str()).Complete());
}

TEST(CreateDirectoryTree, MakesEveryLevelAndRefusesAFileInTheWay) {
  const fs::path root = testing::FreshFolder("tree");
  const fs::path deep = root / "a" / "b" / "c";
  EXPECT_TRUE(CreateDirectoryTree(deep.c_str()));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(CreateDirectoryTree(deep.c_str()));
  EXPECT_TRUE(
      CreateDirectoryTree((root.wstring() + L"\\x\\\\temp\\").c_str()));  // the download folder's form
  EXPECT_TRUE(fs::is_directory(root / "x" / "temp"));
  std::ofstream(root / "file") << "x";
  EXPECT_FALSE(CreateDirectoryTree((root / "file").c_str()));
  EXPECT_FALSE(CreateDirectoryTree((root / "file" / "below").c_str()));
  EXPECT_FALSE(CreateDirectoryTree(L""));
}

}  // namespace
}  // namespace ostrel::update
