// Where the update service looks and writes on this machine.
#pragma once

#include <string>

namespace ostrel::update {

// The update server's origin, resolved as update_server.h describes, afresh
// at each call (the environment and the registry may change while the
// program runs).
std::wstring UpdateOrigin();

// The build's default origin (CMake cache value OSTREL_UPDATE_SERVER).
const wchar_t* BuiltInUpdateOrigin() noexcept;

// "<local application data>\TEMP Files\", or empty when the shell has no
// such folder.
std::wstring DataFolder();

// "<data>\temp\" and "<data>\temp\<name>", formed as the original program
// formed them (the doubled backslash after the data folder is harmless).
std::wstring DownloadFolder(const std::wstring& data_folder);
std::wstring DownloadedFile(const std::wstring& data_folder, const std::wstring& name);

}  // namespace ostrel::update
