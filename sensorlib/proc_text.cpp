#include "sensorlib/proc_text.h"

#include <charconv>
#include <vector>

#include "sensorlib/script.h"
#include "sensorlib/sysfs_text.h"

namespace sensorlib {
namespace {

std::string_view Trim(std::string_view s) noexcept {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<CpuTimes> ParseProcStat(std::string_view text) noexcept {
  const std::string_view line = text.substr(0, text.find('\n'));
  if (line.substr(0, 4) != "cpu ") return std::nullopt;
  // user nice system idle iowait irq softirq steal; guest time is already
  // inside user and nice.
  std::uint64_t fields[8] = {};
  int count = 0;
  const char* p = line.data() + 4;
  const char* end = line.data() + line.size();
  while (count < 8) {
    while (p < end && *p == ' ') ++p;
    if (p == end) break;
    const auto [next, error] = std::from_chars(p, end, fields[count]);
    if (error != std::errc() || (next < end && *next != ' ')) return std::nullopt;
    p = next;
    ++count;
  }
  if (count < 4) return std::nullopt;
  CpuTimes times;
  for (int i = 0; i < count; ++i) {
    if (fields[i] > (UINT64_MAX >> 4)) return std::nullopt;
    times.total += fields[i];
  }
  const std::uint64_t idle = fields[3] + fields[4];
  times.busy = times.total - idle;
  return times;
}

std::optional<double> LoadBetween(const CpuTimes& before, const CpuTimes& after) noexcept {
  if (after.total <= before.total || after.busy < before.busy) return std::nullopt;
  const std::uint64_t total = after.total - before.total;
  const std::uint64_t busy = after.busy - before.busy;
  if (busy > total) return std::nullopt;
  return 100.0 * static_cast<double>(busy) / static_cast<double>(total);
}

std::map<int, std::string> ParseCpuModels(std::string_view text) {
  std::map<int, std::string> models;
  std::string model;
  int package = 0;
  const auto flush = [&] {
    if (!model.empty() && !models.contains(package)) models[package] = model;
    model.clear();
    package = 0;
  };
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (Trim(line).empty()) {
      flush();
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));
    if (key == "model name") {
      model = CleanSysfsText(value, kMaxNameLength);
    } else if (key == "physical id") {
      int id = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), id);
      if (error == std::errc() && end == value.data() + value.size() && id >= 0) package = id;
    }
  }
  flush();
  return models;
}

}  // namespace sensorlib
