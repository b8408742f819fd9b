#include "sensorlib/merge.h"

#include <algorithm>
#include <utility>

#include "sensorlib/kinds.h"

namespace sensorlib {

std::string MatchName(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == ' ' || c == '\t') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  // NVML says "NVIDIA GeForce RTX 3080" where others may say
  // "GeForce RTX 3080"; "AMD Radeon ..." and "Radeon ..." likewise.
  for (std::string_view vendor : {"nvidia", "amd", "intel(r)", "intel"}) {
    if (out.size() > vendor.size() && out.compare(0, vendor.size(), vendor) == 0) {
      out.erase(0, vendor.size());
      break;
    }
  }
  return out;
}

std::vector<SnapshotItem> MergeSources(std::vector<SourceItems> sources) {
  std::vector<SnapshotItem> merged;
  std::vector<std::pair<int, std::string>> seen;  // kind, match name of earlier sources' items
  bool processors_taken = false;
  for (SourceItems& source : sources) {
    std::vector<std::pair<int, std::string>> added;
    bool has_processor = false;
    for (SnapshotItem& item : source.items) {
      if (item.kind == kKindProcessor) {
        if (processors_taken) continue;
        has_processor = true;
      } else {
        std::pair<int, std::string> key{item.kind, MatchName(item.name)};
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        added.push_back(std::move(key));
      }
      item.source = source.source;
      merged.push_back(std::move(item));
    }
    processors_taken = processors_taken || has_processor;
    seen.insert(seen.end(), added.begin(), added.end());
  }
  return merged;
}

}  // namespace sensorlib
