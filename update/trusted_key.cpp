#include "update/trusted_key.h"

#ifndef OSTREL_UPDATE_PUBLIC_KEY_TEXT
#error "OSTREL_UPDATE_PUBLIC_KEY_TEXT comes from the build (update/CMakeLists.txt)"
#endif

namespace ostrel::update {

std::string_view TrustedUpdateKey() noexcept { return OSTREL_UPDATE_PUBLIC_KEY_TEXT; }

}  // namespace ostrel::update
