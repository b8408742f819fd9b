#include "update/text_body.h"

namespace ostrel::update {

std::string_view TextBeforeZero(std::string_view body) noexcept { return body.substr(0, body.find('\0')); }

}  // namespace ostrel::update
