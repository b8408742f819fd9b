// Which fetched bodies count as version files. A body is used only when it
// is 1 to 10 characters long (a trailing line break counts towards that) and
// has the form of its channel's version: software "1.0.1.2", firmware "103",
// each optionally followed by one line break ("\n" or "\r\n"). Anything else,
// such as an error page of the right length ("Not Found"), is no version.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrel::update {

enum class Channel { Software, Firmware };

inline constexpr std::size_t kMaxVersionTextLength = 10;

// The version without its line break, or nothing when the text is unusable.
// The line break is dropped because the version also names the package and
// its program.
std::optional<std::wstring> AcceptVersionText(Channel channel, std::wstring_view text);

}  // namespace ostrel::update
