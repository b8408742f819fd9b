// The block as POSIX shared memory, /dev/shm/brovan_hardware_mapfile. One
// daemon writes it: the holder keeps an exclusive flock on the descriptor for
// as long as it lives. A block left behind by a holder that was killed has
// no lock any more and is taken over; a live holder's lock refuses a second
// one; a block another user made is never touched.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "common/swallowed_failure.h"
#include "sensors/block_store.h"
#include "sensors/hardware_block.h"

namespace ostrel::sensors {
namespace {

constexpr char kShmName[] = "/brovan_hardware_mapfile";
constexpr char kShmPath[] = "/dev/shm/brovan_hardware_mapfile";
// Any local program may read the values; only the holder writes them.
constexpr mode_t kBlockMode = 0644;
// A holder that stops removes the name between our open and our lock; the
// name then belongs to the next start, so look again, a bounded few times.
constexpr int kClaimAttempts = 4;

class Fd {
 public:
  explicit Fd(int fd = -1) noexcept : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.release()) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.release();
    }
    return *this;
  }
  Fd(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const noexcept { return fd_; }
  int release() noexcept { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

class PosixBlockStore final : public HardwareBlockStore {
 public:
  PosixBlockStore(Fd fd, void* view, bool created) noexcept
      : fd_(std::move(fd)), view_(view), created_(created) {}
  ~PosixBlockStore() override {
    // Removed while the lock is still held, so that no new holder can have
    // taken this name over in between.
    ::shm_unlink(kShmName);
    ::munmap(view_, kBlockSize);
  }
  void* View() const noexcept override { return view_; }
  bool Created() const noexcept override { return created_; }

 private:
  Fd fd_;  // holds the lock; closed last
  void* view_;
  bool created_;
};

std::string Because(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// The name still names the file behind fd (a stopping holder may have
// removed it after we opened it).
bool StillNamed(int fd) noexcept {
  struct stat by_fd {};
  struct stat by_name {};
  if (::fstat(fd, &by_fd) != 0 || ::stat(kShmPath, &by_name) != 0) return false;
  return by_fd.st_dev == by_name.st_dev && by_fd.st_ino == by_name.st_ino;
}

BlockClaim Claim() {
  BlockClaim claim;
  const std::string where = std::string("the hardware block ") + kShmPath;
  for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
    bool created = true;
    Fd fd(::shm_open(kShmName, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kBlockMode));
    if (fd.get() < 0) {
      if (errno != EEXIST) {
        claim.refusal = Because(("cannot create " + where).c_str());
        return claim;
      }
      created = false;
      fd = Fd(::shm_open(kShmName, O_RDWR | O_CLOEXEC, 0));
      if (fd.get() < 0 && errno == ENOENT) continue;  // removed meanwhile
      if (fd.get() < 0) {
        claim.refusal = errno == EACCES ? where + " exists and belongs to another user; it is left alone"
                                        : Because(("cannot open " + where).c_str());
        return claim;
      }
    }
    struct stat facts {};
    if (::fstat(fd.get(), &facts) != 0) {
      claim.refusal = Because(("cannot look at " + where).c_str());
      return claim;
    }
    if (facts.st_uid != ::geteuid()) {
      claim.refusal =
          where + " belongs to another user (uid " + std::to_string(facts.st_uid) + "); it is left alone";
      return claim;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) {
        claim.busy = true;
        claim.refusal = where + " is held by another running process";
      } else {
        claim.refusal = Because(("cannot lock " + where).c_str());
      }
      return claim;
    }
    if (!StillNamed(fd.get())) continue;
    // The mode is the block's, whatever the umask. A block of another size
    // (new, or left cut short) is made whole and counts as created: zeroed.
    bool sized = ::fchmod(fd.get(), kBlockMode) == 0;
    if (sized && static_cast<std::size_t>(facts.st_size) != kBlockSize) {
      created = true;
      sized = ::ftruncate(fd.get(), static_cast<off_t>(kBlockSize)) == 0;
    }
    if (!sized) {
      claim.refusal = Because(("cannot size " + where).c_str());
      ::shm_unlink(kShmName);
      return claim;
    }
    void* view = ::mmap(nullptr, kBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd.get(), 0);
    if (view == MAP_FAILED) {
      claim.refusal = Because(("cannot map " + where).c_str());
      ::shm_unlink(kShmName);
      return claim;
    }
    try {
      claim.store = std::make_unique<PosixBlockStore>(std::move(fd), view, created);
    } catch (...) {
      ::munmap(view, kBlockSize);
      ::shm_unlink(kShmName);
      throw;
    }
    return claim;
  }
  claim.refusal = where + " keeps changing hands; try again";
  return claim;
}

}  // namespace

BlockClaim ClaimHardwareBlock() noexcept {
  try {
    return Claim();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return BlockClaim{nullptr, "out of memory", false};
  }
}

}  // namespace ostrel::sensors
