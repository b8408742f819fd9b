// Creating a folder together with every missing folder above it.
#pragma once

namespace ostrel::update {

// True when the folder exists afterwards, whether made now or before.
bool CreateDirectoryTree(const wchar_t* path) noexcept;

}  // namespace ostrel::update
