// Which bytes of a fetched body are decoded as its text.
#pragma once

#include <string_view>

namespace ostrel::update {

// Everything before the first zero byte; a body starting with one has no text.
std::string_view TextBeforeZero(std::string_view body) noexcept;

}  // namespace ostrel::update
