// The public key update packages must be signed with: the build's
// OSTREL_UPDATE_PUBLIC_KEY, the base64 line of a minisign public key.
#pragma once

#include <string_view>

namespace ostrel::update {

std::string_view TrustedUpdateKey() noexcept;

}  // namespace ostrel::update
