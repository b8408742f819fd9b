// How an entry point calls the library: no exception leaves it, and what was
// thrown is reported and answered like an empty library.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "sensorlib/library.h"

namespace sensorlib {

using EntryLog = void (*)(std::string_view line) noexcept;

template <typename Result, typename Call>
Result GuardedCall(Library& (*instance)(), EntryLog log, Result fallback, Call&& call) noexcept {
  try {
    return call(instance());
  } catch (const std::exception& e) {
    char text[512];
    std::snprintf(text, sizeof text, "sensorlib: %s", e.what());
    log(text);
  } catch (...) {
    log("sensorlib: unexpected failure");
  }
  return fallback;
}

// Writes what fits of text, NUL-terminated; the size the whole text needs
// with its NUL.
inline std::int32_t CopyWithSize(const std::string& text, char* buffer, std::int32_t size) noexcept {
  if (buffer && size > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<std::int32_t>(std::min<std::size_t>(text.size() + 1, INT32_MAX));
}

}  // namespace sensorlib
