// The owner of a HID interface's preparsed data (HidD_GetPreparsedData); the
// target links hid.
#pragma once

#include <windows.h>
// hidsdi.h needs the types of windows.h, brings hidpi.h with NTSTATUS, and
// in mingw-w64 declares its functions without C linkage.
extern "C" {
#include <hidsdi.h>
}

#include <memory>

namespace ostrel::win {

struct PreparsedDataFree {
  void operator()(_HIDP_PREPARSED_DATA* data) const noexcept { HidD_FreePreparsedData(data); }
};
using unique_preparsed_data = std::unique_ptr<_HIDP_PREPARSED_DATA, PreparsedDataFree>;

}  // namespace ostrel::win
