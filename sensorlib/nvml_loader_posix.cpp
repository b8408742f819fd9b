#include "sensorlib/nvml_loader_posix.h"

#include <dlfcn.h>

#include <string>

#include "sensorlib/nvml_source.h"

namespace sensorlib {

DetectedSource DetectNvml() {
  // Local: the driver's symbols must not stand in for anything of ours.
  void* module = ::dlopen(kNvmlSoname, RTLD_NOW | RTLD_LOCAL);
  if (!module) return {"nvml", nullptr, std::string("no ") + kNvmlSoname + " (no NVIDIA driver)"};
  const auto release = [module] { ::dlclose(module); };
  NvmlApi api;
  const std::string missing = BindNvml(
      api, [module](const char* name) { return reinterpret_cast<NvmlExport>(::dlsym(module, name)); });
  if (!missing.empty()) {
    release();
    return {"nvml", nullptr, std::string(kNvmlSoname) + " lacks " + missing};
  }
  NvmlStart started = StartNvml(api, release, kNvmlSoname);
  return {"nvml", std::move(started.source), started.why};
}

}  // namespace sensorlib
