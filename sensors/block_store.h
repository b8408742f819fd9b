// Where the hardware block lives: a named file mapping on Windows, POSIX
// shared memory (/dev/shm/brovan_hardware_mapfile) on Linux. Either way 632
// bytes, mapped whole for reading and writing, zeroed only by the process
// that created them.
#pragma once

#include <memory>
#include <string>

namespace ostrel::sensors {

// A mapped block and what keeps it. Destroying it lets go of the block: on
// Windows the section lives on while another process holds it; on Linux the
// name is removed, since the holder is the one daemon that may write it.
class HardwareBlockStore {
 public:
  virtual ~HardwareBlockStore() = default;
  // The 632-byte view, at least 4-byte aligned.
  virtual void* View() const noexcept = 0;
  // This call created the block rather than opening one that existed.
  virtual bool Created() const noexcept = 0;
};

struct BlockClaim {
  std::unique_ptr<HardwareBlockStore> store;
  // Without a store: why, in words for a log line.
  std::string refusal;
  // Without a store: a live holder of the block (another daemon) is why.
  bool busy = false;
};

BlockClaim ClaimHardwareBlock() noexcept;

}  // namespace ostrel::sensors
