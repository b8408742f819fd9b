// The host's files through the C++ library, for native tests of the hwmon
// source over fake trees.
#include <filesystem>
#include <fstream>
#include <system_error>

#include "sensorlib/host_files.h"

namespace sensorlib {
namespace {

class StdHostFiles final : public HostFiles {
 public:
  std::optional<std::vector<std::string>> List(const std::string& folder) override {
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return std::nullopt;
    std::vector<std::string> names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
      if (error) return std::nullopt;
      names.push_back(it->path().filename().string());
    }
    return names;
  }

  std::optional<std::string> Read(const std::string& path, std::size_t limit) override {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string data(limit + 1, '\0');
    file.read(data.data(), static_cast<std::streamsize>(data.size()));
    const auto got = static_cast<std::size_t>(file.gcount());
    if (got > limit) return std::nullopt;
    data.resize(got);
    return data;
  }
};

}  // namespace

std::unique_ptr<HostFiles> MakeHostFiles() { return std::make_unique<StdHostFiles>(); }

}  // namespace sensorlib
