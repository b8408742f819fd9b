#include "update/entry_ledger.h"

#include <vector>

namespace ostrel::update {

namespace {

// Windows folds case over all of Unicode; folding ASCII only can miss a
// clash, which then fails at CreateFileW instead of here.
std::wstring Folded(std::wstring_view path) {
  std::wstring out(path);
  for (wchar_t& c : out) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
  }
  return out;
}

}  // namespace

std::string_view EntryLedger::Claim(std::wstring_view path, bool directory) {
  const std::wstring key = Folded(path);
  std::vector<std::wstring> parents;
  for (std::size_t i = key.find(L'\\'); i != std::wstring::npos; i = key.find(L'\\', i + 1)) {
    parents.push_back(key.substr(0, i));
  }
  for (const std::wstring& parent : parents) {
    const auto found = claimed_.find(parent);
    if (found != claimed_.end() && found->second == Kind::File) return "a folder on its path is a file entry";
  }
  const auto found = claimed_.find(key);
  if (found != claimed_.end()) {
    if (directory && found->second == Kind::File) return "same name as a file entry";
    if (!directory && found->second == Kind::Folder) return "same name as a folder entry";
    if (!directory) return "second entry for the same file";
  }
  for (const std::wstring& parent : parents) claimed_.emplace(parent, Kind::Folder);
  claimed_.emplace(key, directory ? Kind::Folder : Kind::File);
  return {};
}

}  // namespace ostrel::update
