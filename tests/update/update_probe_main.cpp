// The program inside the test packages: proves it was started by leaving
// "<its own path>.ran" beside itself.
#include <windows.h>

#include <string>

#include "common/win/unique_any.h"

int main() {
  wchar_t self[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  const std::wstring marker = std::wstring(self) + L".ran";
  const ostrel::win::unique_file file(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), "ran", 3, &written, nullptr) ? 0 : 1;
}
