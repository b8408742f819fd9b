#include "sensors/block_store_win.h"

#include <string>

#include "common/swallowed_failure.h"
#include "sensors/block_store.h"
#include "sensors/hardware_block.h"

namespace ostrel::sensors {
namespace {

class WindowsBlockStore final : public HardwareBlockStore {
 public:
  explicit WindowsBlockStore(HardwareBlockMapping mapping) noexcept : mapping_(std::move(mapping)) {}
  void* View() const noexcept override { return mapping_.view.get(); }
  bool Created() const noexcept override { return mapping_.created; }

 private:
  HardwareBlockMapping mapping_;
};

}  // namespace

std::optional<HardwareBlockMapping> OpenHardwareBlock() noexcept {
  ::SetLastError(ERROR_SUCCESS);
  HardwareBlockMapping mapping;
  mapping.section.reset(
      ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, kBlockName));
  const DWORD error = ::GetLastError();
  if (!mapping.section) return std::nullopt;
  mapping.view.reset(::MapViewOfFile(mapping.section.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!mapping.view) return std::nullopt;
  mapping.created = error == ERROR_SUCCESS;
  return mapping;
}

BlockClaim ClaimHardwareBlock() noexcept {
  BlockClaim claim;
  try {
    if (auto mapping = OpenHardwareBlock()) {
      claim.store = std::make_unique<WindowsBlockStore>(std::move(*mapping));
    } else {
      claim.refusal = "cannot create or map \"" + std::string(kBlockName) + "\" (error " +
                      std::to_string(::GetLastError()) + ")";
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    claim.store.reset();
  }
  return claim;
}

}  // namespace ostrel::sensors
