// Small helpers shared by the worker and watch tests.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"

namespace ostrel::device::testing {

// Polls until the condition holds or the time is up; returns the condition.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    ::Sleep(10);
  }
  return true;
}

// The shared hardware block as another process would create it first, with
// a processor temperature already in place.
class ForeignBlock {
 public:
  explicit ForeignBlock(float cpu) {
    section_.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(sensors::kBlockSize), sensors::kBlockName));
    view_.reset(::MapViewOfFile(section_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (view_) sensors::StoreBlockFloat(view_.get(), sensors::BlockField::Cpu, cpu);
  }
  bool ok() const { return static_cast<bool>(view_); }

 private:
  win::unique_handle section_;
  win::unique_mapped_view view_;
};

}  // namespace ostrel::device::testing
