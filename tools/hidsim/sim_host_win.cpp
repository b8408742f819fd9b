#include <windows.h>

#include <iterator>

#include "common/win/module_path.h"
#include "common/win/text.h"
#include "tools/hidsim/sim_host.h"

namespace hidsim {
namespace {

std::wstring ModuleFolder() {
  HMODULE self = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ModuleFolder), &self);
  return ostrel::win::ModuleFolder(self);
}

}  // namespace

std::string SimFilePath(const char* variable, const char* fallback) {
  wchar_t value[MAX_PATH * 4] = {};
  const std::wstring name = ostrel::win::Widen(variable);
  const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value, static_cast<DWORD>(std::size(value)));
  if (length > 0 && length < std::size(value)) return ostrel::win::Narrow(value);
  return ostrel::win::Narrow(ModuleFolder() + ostrel::win::Widen(fallback));
}

std::FILE* OpenSimFile(const std::string& path, const char* mode) {
  return ::_wfopen(ostrel::win::Widen(path).c_str(), ostrel::win::Widen(mode).c_str());
}

std::wstring WideText(const std::string& utf8) { return ostrel::win::Widen(utf8); }

std::string Utf8Text(const std::wstring& wide) { return ostrel::win::Narrow(wide); }

}  // namespace hidsim
