// Where the update server is and what is fetched from it.
//
// The origin ("http://127.0.0.1:8123", "https://host") comes from, highest
// first: the environment variable OSTREL_UPDATE_SERVER, the registry value
// "update_server" (REG_SZ) under HKCU\SOFTWARE\TEMP, the build's default
// (CMake cache value OSTREL_UPDATE_SERVER). An origin may carry a path prefix
// that goes in front of the fixed channel paths. A value that is empty or not
// an http(s) URL is passed over. Each channel's files then lie under
// <origin>/panel-kit/KX4/<channel>/: "version", and the package, whose URL
// keeps the original "%s//%s" form (three slashes before its name).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "update/version_text.h"

namespace ostrel::update {

inline constexpr wchar_t kUpdateServerVariable[] = L"OSTREL_UPDATE_SERVER";
inline constexpr wchar_t kUpdateServerValue[] = L"update_server";

// The trimmed origin without trailing "/", or nothing when unusable.
std::optional<std::wstring> UsableOrigin(std::wstring_view value);

std::wstring ResolveUpdateOrigin(const std::optional<std::wstring>& environment,
                                 const std::optional<std::wstring>& registry, std::wstring_view built_in);

// "<origin>/panel-kit/KX4/software/" or ".../firmware/".
std::wstring ChannelBaseUrl(std::wstring_view origin, Channel channel);
std::wstring VersionUrl(std::wstring_view base_url);
// "Software-<v>.zip" / "FirmwareUpdateTool-<v>.zip", and the ".exe" inside.
std::wstring PackageName(Channel channel, std::wstring_view version);
std::wstring ProgramName(Channel channel, std::wstring_view version);
std::wstring PackageUrl(std::wstring_view base_url, std::wstring_view package_name);

}  // namespace ostrel::update
