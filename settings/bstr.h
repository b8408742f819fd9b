// An owned BSTR: COM methods that take strings expect real BSTRs (with their
// length prefix), not string literals.
#pragma once

#include <oleauto.h>
#include <windows.h>

#include <utility>

namespace ostrel::settings {

class Bstr {
 public:
  explicit Bstr(const wchar_t* text) noexcept : value_(::SysAllocString(text)) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { ::SysFreeString(value_); }

  BSTR get() const noexcept { return value_; }

 private:
  BSTR value_;
};

}  // namespace ostrel::settings
