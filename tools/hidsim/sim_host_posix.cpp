#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "common/utf8.h"
#include "tools/hidsim/sim_host.h"

namespace hidsim {
namespace {

std::string ModuleFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) == 0 || !info.dli_fname) return "./";
  std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

std::string SimFilePath(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && *value) return value;
  return ModuleFolder() + fallback;
}

std::FILE* OpenSimFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::wstring WideText(const std::string& utf8) { return ostrel::CodePointsFromUtf8(utf8); }

std::string Utf8Text(const std::wstring& wide) { return ostrel::Utf8FromCodePoints(wide); }

}  // namespace hidsim
