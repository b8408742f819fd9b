// GDI+, COM and OLE for the life of the panel, each an owner whose
// destructor takes its library down again.
#pragma once

#include <windows.h>

namespace ostrel::app {

class GdiplusSession {
 public:
  GdiplusSession() noexcept;
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession();

  bool IsUp() const noexcept { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

// CoInitialize then OleInitialize; down in the reverse order. Each down call
// is made only for an up call that succeeded, so the counts stay balanced.
class ComOleSession {
 public:
  ComOleSession() noexcept;
  ComOleSession(const ComOleSession&) = delete;
  ComOleSession& operator=(const ComOleSession&) = delete;
  ~ComOleSession();

 private:
  bool com_ = false;
  bool ole_ = false;
};

}  // namespace ostrel::app
