// Where a download is written: "<target>.part" beside the target, which
// replaces the target only once the body is complete. Until then a file
// already at the target is left as it was, whatever happens to the transfer
// (a reset, a stall, a refused reply); a part file not committed is removed.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/unique_any.h"

namespace ostrel::update {

class PartFile {
 public:
  // A null or empty target cannot be created.
  explicit PartFile(const wchar_t* target);
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile();

  bool Create() noexcept;
  // False unless every byte was written: a package cut short by a full disk
  // must not count as downloaded.
  bool Write(const std::string& bytes) noexcept;
  // Closes the part file and moves it over the target.
  bool Commit() noexcept;
  bool IsOpen() const noexcept { return static_cast<bool>(file_); }

 private:
  void Discard() noexcept;

  std::wstring target_;
  std::wstring part_;
  win::unique_file file_;
  bool committed_ = false;
};

}  // namespace ostrel::update
