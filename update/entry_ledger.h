// What one extraction has already put where, so that a later entry cannot
// turn a written file into a folder, a folder into a file, or write a file
// a second time (which could replace a checked file with another). Paths
// are the cleaned relative names; letter case is ignored as Windows does.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace ostrel::update {

class EntryLedger {
 public:
  // Records the entry and returns empty, or returns why it may not be
  // written and records nothing.
  std::string_view Claim(std::wstring_view path, bool directory);

 private:
  enum class Kind { Folder, File };
  std::map<std::wstring, Kind> claimed_;
};

}  // namespace ostrel::update
