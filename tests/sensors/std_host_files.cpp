// The host's files through the C++ library, for native tests of the hwmon
// source over fake trees. An open file is opened again by its path at every
// read, so a file removed from a tree fails at once, as a removed device's
// attribute does.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "sensorlib/host_files.h"

namespace sensorlib {
namespace {

std::optional<std::string> ReadPath(const std::string& path, std::size_t limit) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string data(limit + 1, '\0');
  file.read(data.data(), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<std::size_t>(file.gcount()));
  return data;
}

class StdHostFile final : public HostFile {
 public:
  explicit StdHostFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::size_t> ReadHead(std::span<char> buffer) override {
    const auto data = ReadPath(path_, buffer.size());
    if (!data) return std::nullopt;
    const std::size_t n = std::min(data->size(), buffer.size());
    std::copy_n(data->begin(), n, buffer.begin());
    return n;
  }
  bool Gone() override {
    std::error_code error;
    return !std::filesystem::is_regular_file(path_, error);
  }

 private:
  std::string path_;
};

std::optional<std::vector<std::string>> ListPath(const std::string& folder) {
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

class StdHostFiles final : public HostFiles {
 public:
  std::optional<std::vector<std::string>> List(const std::string& folder) override {
    return ListPath(folder);
  }

  std::optional<std::string> Read(const std::string& path, std::size_t limit) override {
    auto data = ReadPath(path, limit);
    if (data && data->size() > limit) return std::nullopt;
    return data;
  }

  std::unique_ptr<HostFile> Open(const std::string& path) override {
    if (!ReadPath(path, 0)) return nullptr;
    return std::make_unique<StdHostFile>(path);
  }
};

}  // namespace

std::unique_ptr<HostFiles> MakeHostFiles() { return std::make_unique<StdHostFiles>(); }

}  // namespace sensorlib
