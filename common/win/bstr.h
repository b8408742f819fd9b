// An owned BSTR: COM methods that take strings expect real BSTRs (with their
// length prefix), not string literals. Movable, so helpers can hand one back.
#pragma once

#include <oleauto.h>
#include <windows.h>

#include <string>
#include <utility>

namespace ostrel::win {

class Bstr {
 public:
  Bstr() noexcept = default;
  explicit Bstr(const wchar_t* text) noexcept : value_(::SysAllocString(text)) {}
  explicit Bstr(const std::wstring& text) noexcept : Bstr(text.c_str()) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      ::SysFreeString(value_);
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }
  ~Bstr() { ::SysFreeString(value_); }

  // Takes over a BSTR a COM method handed out.
  static Bstr Attach(BSTR value) noexcept {
    Bstr owned;
    owned.value_ = value;
    return owned;
  }

  BSTR get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != nullptr; }

 private:
  BSTR value_ = nullptr;
};

}  // namespace ostrel::win
