#include "device/hid/hid_interface_probe.h"

#include <windows.h>

#include "common/win/hid_preparsed_data.h"
#include "common/win/unique_any.h"
#include "device/hid/scan_rules.h"

namespace ostrel::device {
bool IsDisplayHidInterface(const std::wstring& path) noexcept {
  const win::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_OVERLAPPED, nullptr));
  if (!file) return false;
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  HidD_GetAttributes(file.get(), &attributes);
  PHIDP_PREPARSED_DATA raw = nullptr;
  if (!HidD_GetPreparsedData(file.get(), &raw)) return false;
  const win::unique_preparsed_data preparsed(raw);
  HIDP_CAPS caps{};
  if (HidP_GetCaps(preparsed.get(), &caps) != HIDP_STATUS_SUCCESS) return false;
  return IsDisplayCollection(caps.UsagePage, caps.Usage);
}

}  // namespace ostrel::device
