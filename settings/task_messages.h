// The lines the logon-task registration writes to the error stream: a fixed
// text, the HRESULT in lower-case hexadecimal without leading zeros, and an
// end of line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostrel::settings {

std::string TaskFailureLine(std::string_view text, std::uint32_t hresult);

}  // namespace ostrel::settings
