// Small reads and listings through Win32, so a Linux host's files come in
// through Wine's Z: drive like any other path.
#include <windows.h>

#include <algorithm>

#include "common/win/text.h"
#include "common/win/unique_any.h"
#include "sensorlib/host_files.h"

namespace sensorlib {
namespace {

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
    // Never in the way of a device going away or a tree being rewritten.
    ostrel::win::unique_file file(::CreateFileW(ostrel::win::Widen(path).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    // sysfs reports 4096 bytes for every attribute: read to the end instead.
    std::string data(limit + 1, '\0');
    std::size_t filled = 0;
    while (filled < data.size()) {
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - filled, 1 << 20));
      if (!::ReadFile(file.get(), data.data() + filled, want, &got, nullptr)) return std::nullopt;
      if (got == 0) break;
      filled += got;
    }
    if (filled > limit) return std::nullopt;
    data.resize(filled);
    return data;
  }
};

}  // namespace

std::unique_ptr<HostFiles> MakeHostFiles() { return std::make_unique<WinHostFiles>(); }

}  // namespace sensorlib
