// Small reads and listings through Win32, so a Linux host's files come in
// through Wine's Z: drive like any other path.
#include <windows.h>

#include <algorithm>

#include "common/win/text.h"
#include "common/win/unique_any.h"
#include "sensorlib/host_files.h"

namespace sensorlib {
namespace {

// Never in the way of a device going away or a tree being rewritten.
ostrel::win::unique_file OpenForReading(const std::string& path) {
  return ostrel::win::unique_file(::CreateFileW(ostrel::win::Widen(path).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Reads up to size bytes from the start (sysfs reports 4096 bytes for every
// attribute, so the end is where a read comes back empty). Seeking and
// reading costs about 1 us under Wine; a read at an explicit offset
// (OVERLAPPED) costs 14.
std::optional<std::size_t> ReadFromStart(HANDLE file, char* data, std::size_t size) {
  if (!::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return std::nullopt;
  std::size_t filled = 0;
  while (filled < size) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - filled, 1 << 20));
    if (!::ReadFile(file, data + filled, want, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    filled += got;
  }
  return filled;
}

class WinHostFile final : public HostFile {
 public:
  explicit WinHostFile(ostrel::win::unique_file file) : file_(std::move(file)) {}
  std::optional<std::size_t> ReadHead(std::span<char> buffer) override {
    return ReadFromStart(file_.get(), buffer.data(), buffer.size());
  }
  bool Gone() override {
    FILE_STANDARD_INFO info{};
    if (!::GetFileInformationByHandleEx(file_.get(), FileStandardInfo, &info, sizeof info)) return true;
    return info.DeletePending || info.NumberOfLinks == 0;
  }

 private:
  ostrel::win::unique_file file_;
};

class WinHostFiles final : public HostFiles {
 public:
  std::optional<std::vector<std::string>> List(const std::string& folder) override {
    WIN32_FIND_DATAW data;
    const std::wstring pattern = ostrel::win::Widen(folder + "/*");
    ostrel::win::unique_find find(::FindFirstFileExW(
        pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return std::nullopt;
    std::vector<std::string> names;
    do {
      const std::wstring_view name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      names.push_back(ostrel::win::Narrow(name));
    } while (::FindNextFileW(find.get(), &data));
    return names;
  }

  std::optional<std::string> Read(const std::string& path, std::size_t limit) override {
    const ostrel::win::unique_file file = OpenForReading(path);
    if (!file) return std::nullopt;
    std::string data(limit + 1, '\0');
    const auto got = ReadFromStart(file.get(), data.data(), data.size());
    if (!got || *got > limit) return std::nullopt;
    data.resize(*got);
    return data;
  }

  std::unique_ptr<HostFile> Open(const std::string& path) override {
    ostrel::win::unique_file file = OpenForReading(path);
    if (!file) return nullptr;
    return std::make_unique<WinHostFile>(std::move(file));
  }
};

}  // namespace

std::unique_ptr<HostFiles> MakeHostFiles() { return std::make_unique<WinHostFiles>(); }

}  // namespace sensorlib
