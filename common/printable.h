// Text from outside (a script, a sensor library, the command line) quoted in
// a message: control bytes and NULs written as \xNN, so a message is never
// cut at a NUL and no escape sequence reaches a terminal. Bytes from 0x80 up
// are kept, as UTF-8 names are, and so are backslashes, which Windows paths
// are full of.
#pragma once

#include <string>
#include <string_view>

namespace ostrel {

inline std::string Printable(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kDigits[byte >> 4];
      out += kDigits[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace ostrel
