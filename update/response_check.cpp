#include "update/response_check.h"

#include <cctype>

namespace ostrel::update {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) noexcept {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsSuccessStatus(std::uint32_t status) noexcept { return status >= 200 && status <= 299; }

bool IsRedirectStatus(std::uint32_t status) noexcept {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool HasHeaderLines(std::string_view raw_head) noexcept {
  const std::size_t end_of_status = raw_head.find("\r\n");
  if (end_of_status == std::string_view::npos) return false;
  const std::string_view rest = raw_head.substr(end_of_status + 2);
  return !rest.empty() && rest.substr(0, 2) != "\r\n";
}

std::optional<std::uint64_t> ParseContentLength(std::string_view text) noexcept {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

bool IsBodyComplete(std::uint64_t received, std::optional<std::uint64_t> announced) noexcept {
  return !announced || received == *announced;
}

bool IsFollowableRedirect(std::string_view from, std::string_view to) noexcept {
  if (StartsWithNoCase(to, "https://")) return true;
  return StartsWithNoCase(to, "http://") && !StartsWithNoCase(from, "https://");
}

}  // namespace ostrel::update
