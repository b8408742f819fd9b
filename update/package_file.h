// A downloaded package read into memory once, for its signature check and
// then its unpacking from the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace ostrel::update {

// Nothing when the file cannot be read whole or is larger than `limit`.
// Nobody can write the file while it is read.
std::optional<std::vector<std::uint8_t>> ReadPackageFile(const wchar_t* path, std::uint64_t limit) noexcept;

}  // namespace ostrel::update
