#include "update/update_server.h"

namespace ostrel::update {

namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) noexcept {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    wchar_t c = text[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

std::wstring_view Stem(Channel channel) noexcept {
  return channel == Channel::Software ? L"Software-" : L"FirmwareUpdateTool-";
}

}  // namespace

std::optional<std::wstring> UsableOrigin(std::wstring_view value) {
  while (!value.empty() && (value.front() == L' ' || value.front() == L'\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == L' ' || value.back() == L'\t' || value.back() == L'/')) {
    value.remove_suffix(1);
  }
  std::wstring_view host;
  if (StartsWithNoCase(value, L"http://")) {
    host = value.substr(7);
  } else if (StartsWithNoCase(value, L"https://")) {
    host = value.substr(8);
  } else {
    return std::nullopt;
  }
  if (host.empty() || host.front() == L'/') return std::nullopt;
  for (wchar_t c : host) {
    if (c <= L' ' || c == L'?' || c == L'#') return std::nullopt;
  }
  return std::wstring(value);
}

std::wstring ResolveUpdateOrigin(const std::optional<std::wstring>& environment,
                                 const std::optional<std::wstring>& registry, std::wstring_view built_in) {
  for (const auto& candidate : {environment, registry}) {
    if (!candidate) continue;
    if (auto origin = UsableOrigin(*candidate)) return *origin;
  }
  if (auto origin = UsableOrigin(built_in)) return *origin;
  return std::wstring(built_in);
}

std::wstring ChannelBaseUrl(std::wstring_view origin, Channel channel) {
  std::wstring url(origin);
  url += channel == Channel::Software ? L"/panel-kit/KX4/software/" : L"/panel-kit/KX4/firmware/";
  return url;
}

std::wstring VersionUrl(std::wstring_view base_url) { return std::wstring(base_url) + L"version"; }

std::wstring PackageName(Channel channel, std::wstring_view version) {
  return std::wstring(Stem(channel)) + std::wstring(version) + L".zip";
}

std::wstring ProgramName(Channel channel, std::wstring_view version) {
  return std::wstring(Stem(channel)) + std::wstring(version) + L".exe";
}

std::wstring PackageUrl(std::wstring_view base_url, std::wstring_view package_name) {
  return std::wstring(base_url) + L"//" + std::wstring(package_name);
}

}  // namespace ostrel::update
