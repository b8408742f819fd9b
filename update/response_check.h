// What a reply must show before its body counts as the resource asked for:
// a success status, a real response head, a sound redirect, and a body as
// long as it was announced.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ostrel::update {

// 200 to 299. Anything else (an error page, 304 without a cache, a redirect
// not followed) is not the resource.
bool IsSuccessStatus(std::uint32_t status) noexcept;

// The statuses whose Location is followed: 301, 302, 303, 307, 308.
bool IsRedirectStatus(std::uint32_t status) noexcept;

// `raw_head` is the head as CRLF text, status line first. WinINet hands a
// reply without a proper status line (HTTP/0.9, garbage) over as a made-up
// "HTTP/1.0 200 OK" with no header lines at all; no server the program talks
// to answers without a single header, so such a head is refused.
bool HasHeaderLines(std::string_view raw_head) noexcept;

// Digits only, optionally surrounded by blanks, and no overflow; anything
// else is not a length.
std::optional<std::uint64_t> ParseContentLength(std::string_view text) noexcept;

// A body is complete when no length was announced or exactly that many bytes
// arrived: a connection closed early ends the read like a proper end.
bool IsBodyComplete(std::uint64_t received, std::optional<std::uint64_t> announced) noexcept;

// A redirect target is followed only to http or https, and never from https
// down to plain http. Both are absolute URLs.
bool IsFollowableRedirect(std::string_view from, std::string_view to) noexcept;

}  // namespace ostrel::update
