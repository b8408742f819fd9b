// One WMI namespace as the sources need it: a WQL query answering rows of
// named properties. The Windows side goes through IWbemServices; tests give
// rows of their own.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sensorlib {

struct WmiRow {
  std::map<std::string, std::string> text;
  std::map<std::string, double> numbers;

  std::string Text(const std::string& name) const {
    const auto it = text.find(name);
    return it == text.end() ? std::string() : it->second;
  }
  std::optional<double> Number(const std::string& name) const {
    const auto it = numbers.find(name);
    if (it == numbers.end()) return std::nullopt;
    return it->second;
  }
};

class WmiConnection {
 public:
  virtual ~WmiConnection() = default;
  // Nothing when the query fails (the provider went away).
  virtual std::optional<std::vector<WmiRow>> Query(std::string_view wql) = 0;
};

}  // namespace sensorlib
