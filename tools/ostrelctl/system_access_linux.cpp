#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/utf8.h"
#include "sensorlib/linked_entry_points.h"
#include "sensors/hardware_block.h"
#include "tools/ostrelctl/system_access.h"

namespace ostrelctl {
namespace {

constexpr char kShmName[] = "/brovan_hardware_mapfile";
constexpr char kShmPath[] = "/dev/shm/brovan_hardware_mapfile";

}  // namespace

// The library is linked in: the file name names nothing here.
std::optional<SensorDiagnostics> LoadSensorDiagnostics(const std::string&) {
  SensorDiagnostics d;
  d.init = sensorlib::LinkedEntryPoints().init;
  d.hardware_source = &sensorlib::LinkedHardwareSource;
  d.describe_sources = &sensorlib::LinkedDescribeSources;
  return d;
}

std::string LibraryShownName(const std::string&) { return "the linked sensor library"; }

bool BlockExists() {
  struct stat facts {};
  return ::stat(kShmPath, &facts) == 0;
}

PublishedBlock ReadPublishedBlock() {
  using namespace ostrel::sensors;
  PublishedBlock block;
  const int fd = ::shm_open(kShmName, O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) {
    block.error = errno == ENOENT
                      ? "no hardware block \"" + std::string(kShmPath) + "\" exists (is ostreld running?)"
                      : "cannot open the hardware block \"" + std::string(kShmPath) + "\" (" +
                            std::strerror(errno) + ")";
    return block;
  }
  struct stat facts {};
  void* view = MAP_FAILED;
  if (::fstat(fd, &facts) == 0 && static_cast<std::size_t>(facts.st_size) >= kBlockSize) {
    view = ::mmap(nullptr, kBlockSize, PROT_READ, MAP_SHARED, fd, 0);
  }
  ::close(fd);
  if (view == MAP_FAILED) {
    block.error = "cannot map the hardware block \"" + std::string(kShmPath) + "\"";
    return block;
  }
  std::array<float, 4> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = LoadBlockFloat(view, kBlockFields[i]);
  ::munmap(view, kBlockSize);
  block.fields = fields;
  return block;
}

const char* BlockShownName() { return kShmPath; }
const char* PublisherName() { return "ostreld"; }

std::string Utf8(const std::wstring& text) { return ostrel::Utf8FromCodePoints(text); }

}  // namespace ostrelctl
