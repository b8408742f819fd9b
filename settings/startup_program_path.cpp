#include "settings/startup_program_path.h"

namespace ostrel::settings {

std::wstring StartupProgramPath(std::wstring_view module_path) {
  const std::size_t slash = module_path.find_last_of(L'\\');
  std::wstring path(slash == std::wstring_view::npos ? std::wstring_view()
                                                     : module_path.substr(0, slash + 1));
  path += kStartupProgramName;
  return path;
}

}  // namespace ostrel::settings
