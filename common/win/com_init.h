// COM initialised on this thread for the life of the object, and given back
// only when the initialisation succeeded.
#pragma once

#include <objbase.h>
#include <windows.h>

namespace ostrel::win {

class ScopedCoInitialize {
 public:
  ScopedCoInitialize() noexcept : result_(::CoInitialize(nullptr)) {}
  explicit ScopedCoInitialize(DWORD apartment) noexcept : result_(::CoInitializeEx(nullptr, apartment)) {}
  ScopedCoInitialize(const ScopedCoInitialize&) = delete;
  ScopedCoInitialize& operator=(const ScopedCoInitialize&) = delete;
  ~ScopedCoInitialize() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

  HRESULT Result() const noexcept { return result_; }

 private:
  HRESULT result_;
};

}  // namespace ostrel::win
