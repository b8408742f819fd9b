#include "settings/task_messages.h"

namespace ostrel::settings {

std::string TaskFailureLine(std::string_view text, std::uint32_t hresult) {
  static constexpr char kDigits[] = "0123456789abcdef";
  char hex[8];
  int n = 0;
  do {
    hex[n++] = kDigits[hresult & 0xF];
    hresult >>= 4;
  } while (hresult != 0);
  std::string line(text);
  while (n > 0) line.push_back(hex[--n]);
  line.push_back('\n');
  return line;
}

}  // namespace ostrel::settings
