#include <windows.h>

#include "common/win/unique_any.h"
#include "update/package_file.h"

namespace ostrel::update {

std::optional<std::vector<std::uint8_t>> ReadPackageFile(const wchar_t* path, std::uint64_t limit) noexcept {
  try {
    const win::unique_file file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    if (static_cast<std::uint64_t>(size.QuadPart) > limit) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t at = 0;
    while (at < bytes.size()) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 24));
      DWORD got = 0;
      if (!::ReadFile(file.get(), bytes.data() + at, want, &got, nullptr) || got == 0) return std::nullopt;
      at += got;
    }
    // A file that grew after its size was taken is not the one measured.
    std::uint8_t extra = 0;
    DWORD got = 0;
    if (!::ReadFile(file.get(), &extra, 1, &got, nullptr) || got != 0) return std::nullopt;
    return bytes;
  } catch (...) {
    return std::nullopt;  // no memory for a package this large
  }
}

}  // namespace ostrel::update
