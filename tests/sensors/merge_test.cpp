#include "sensorlib/merge.h"

#include <gtest/gtest.h>

#include "sensorlib/kinds.h"

namespace sensorlib {
namespace {

TEST(MergeSources, EachPieceOfHardwareOnce) {
  std::vector<SourceItems> sources = {
      {"lhm",
       {{kKindProcessor, "AMD Ryzen 9 7950X", {}},
        {kKindGraphics, "NVIDIA GeForce RTX 4090", {}},
        {kKindGraphics, "AMD Radeon(TM) Graphics", {}},
        {kKindMainboard, "Nuvoton NCT6799D", {}}}},
      {"nvml",
       {{kKindGraphics, "GeForce  RTX 4090", {}},  // the same card
        {kKindGraphics, "NVIDIA GeForce RTX 3060", {}}}},
      {"hwmon",
       {{kKindProcessor, "AMD Ryzen 9 7950X 16-Core Processor #1", {}},
        {kKindProcessor, "AMD Ryzen 9 7950X 16-Core Processor #2", {}},
        {kKindMainboard, "nuvoton nct6799d", {}},
        {kKindMainboard, "ACPI Thermal Zone", {}}}},
      {"system", {{kKindProcessor, "Processor", {}}}},
      // One source's own items are never merged with each other.
      {"twin", {{kKindDrive, "Disk", {}}, {kKindDrive, "Disk", {}}}},
  };
  const auto merged = MergeSources(std::move(sources));
  std::vector<std::string> seen;
  for (const auto& item : merged) seen.push_back(item.source + ": " + item.name);
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "lhm: AMD Ryzen 9 7950X",
                      "lhm: NVIDIA GeForce RTX 4090",
                      "lhm: AMD Radeon(TM) Graphics",
                      "lhm: Nuvoton NCT6799D",
                      "nvml: NVIDIA GeForce RTX 3060",
                      "hwmon: ACPI Thermal Zone",
                      "twin: Disk",
                      "twin: Disk",
                  }));
  EXPECT_EQ(MatchName("NVIDIA GeForce RTX 4090"), MatchName("geforce rtx 4090"));
  EXPECT_NE(MatchName("NVIDIA"), MatchName(""));
}

}  // namespace
}  // namespace sensorlib
