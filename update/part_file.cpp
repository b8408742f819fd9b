#include "update/part_file.h"

namespace ostrel::update {

PartFile::PartFile(const wchar_t* target) : target_(target ? target : L""), part_(target_ + L".part") {}

PartFile::~PartFile() { Discard(); }

bool PartFile::Create() noexcept {
  if (target_.empty()) return false;
  file_.reset(::CreateFileW(part_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file_);
}

bool PartFile::Write(const std::string& bytes) noexcept {
  DWORD written = 0;
  return ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool PartFile::Commit() noexcept {
  if (!file_) return false;
  file_.reset();
  if (!::MoveFileExW(part_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return false;
  }
  committed_ = true;
  return true;
}

void PartFile::Discard() noexcept {
  if (committed_ || target_.empty()) return;
  file_.reset();
  // Also a part file a crashed run left behind.
  if (::GetFileAttributesW(part_.c_str()) != INVALID_FILE_ATTRIBUTES) ::DeleteFileW(part_.c_str());
}

}  // namespace ostrel::update
