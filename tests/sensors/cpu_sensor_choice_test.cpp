// The rules behind cpu_sensor and the thermal zones, without any tree.
#include "sensorlib/cpu_sensor_choice.h"

#include <gtest/gtest.h>

#include "sensorlib/thermal_zones.h"

namespace sensorlib {
namespace {

ChipFacts Chip(std::string name, std::vector<ChipInput> inputs) {
  return {std::move(name), std::move(inputs)};
}

TEST(CpuSensorChoice, ParsedFoundOrExplained) {
  std::string why;
  EXPECT_EQ(ParseCpuSensorChoice("nct6798/CPUTIN", why), (CpuSensorChoice{"nct6798", "CPUTIN"}));
  EXPECT_EQ(ParseCpuSensorChoice("\tit8728 / PECI Agent 0 ", why),
            (CpuSensorChoice{"it8728", "PECI Agent 0"}));
  // Only the first slash splits: a label may hold one.
  EXPECT_EQ(ParseCpuSensorChoice("x/a/b", why), (CpuSensorChoice{"x", "a/b"}));
  for (const char* bad : {"", "CPUTIN", "/CPUTIN", "nct6798/", " / "}) {
    why.clear();
    EXPECT_FALSE(ParseCpuSensorChoice(bad, why)) << bad;
    EXPECT_NE(why.find("cpu_sensor"), std::string::npos) << bad;
  }

  constexpr auto T = HwmonQuantity::Temperature;
  const std::vector<ChipFacts> chips = {
      Chip("nvme", {{{T, 1}, "Composite"}}),
      Chip("it87", {{{HwmonQuantity::Fan, 1}, "CPUTIN"}, {{T, 1}, ""}, {{T, 2}, ""}, {{T, 3}, "CPUTIN"}}),
      Chip("nvme", {{{T, 1}, "Composite"}, {{T, 2}, "Sensor 1"}}),
  };
  // A fan of that label is no temperature; an unlabelled input goes by name.
  auto chosen = FindChosenInput({"it87", "CPUTIN"}, chips, why);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->chip, 1u);
  EXPECT_EQ(chosen->input, 3u);
  chosen = FindChosenInput({"it87", "temp2"}, chips, why);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->input, 2u);
  // Two drives: the first that has it.
  chosen = FindChosenInput({"nvme", "Sensor 1"}, chips, why);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->chip, 2u);
  // Names compare exactly.
  EXPECT_FALSE(FindChosenInput({"IT87", "CPUTIN"}, chips, why));
  EXPECT_EQ(why, "cpu_sensor IT87/CPUTIN: no hwmon chip \"IT87\" (chips: nvme, it87)");
  EXPECT_FALSE(FindChosenInput({"nvme", "Sensor 2"}, chips, why));
  EXPECT_EQ(why,
            "cpu_sensor nvme/Sensor 2: chip \"nvme\" has no temperature \"Sensor 2\" "
            "(temperatures: Composite, Sensor 1)");
  EXPECT_FALSE(FindChosenInput({"k10temp", "Tctl"}, {}, why));
  EXPECT_EQ(why, "cpu_sensor k10temp/Tctl: no hwmon chip \"k10temp\" (chips: none)");

  std::vector<ChipInput> many;
  for (int i = 1; i <= 40; ++i) many.push_back({{T, i}, ""});
  EXPECT_FALSE(FindChosenInput({"big", "temp41"}, std::vector<ChipFacts>{Chip("big", many)}, why));
  EXPECT_NE(why.find("temp16, ...)"), std::string::npos) << why;
}

TEST(ThermalZones, PackagesAndAcpiAsChips) {
  const std::vector<ThermalZone> zones = {{"thermal_zone0", "acpitz"},
                                          {"thermal_zone1", "x86_pkg_temp"},
                                          {"thermal_zone2", "iwlwifi_1"},
                                          {"thermal_zone3", "x86_pkg_temp"},
                                          {"thermal_zone4", "acpitz"}};
  auto chips = ThermalChips(zones, true, true);
  ASSERT_EQ(chips.size(), 3u);
  EXPECT_EQ(chips[0].facts.chip, "coretemp");
  EXPECT_EQ(chips[0].facts.inputs[0].label, "Package id 0");
  EXPECT_EQ(chips[0].folders, std::vector<std::string>{"thermal_zone1"});
  EXPECT_EQ(chips[1].facts.inputs[0].label, "Package id 1");
  EXPECT_EQ(chips[2].facts.chip, "acpitz");
  EXPECT_EQ(chips[2].folders, (std::vector<std::string>{"thermal_zone0", "thermal_zone4"}));
  ASSERT_EQ(chips[2].facts.inputs.size(), 2u);
  EXPECT_EQ(chips[2].facts.inputs[1].input.index, 2);

  const auto mapped = MapChip(chips[2].facts, 0, {});
  ASSERT_TRUE(mapped);
  EXPECT_EQ(mapped->name, "ACPI Thermal Zone");
  EXPECT_EQ(mapped->readings[0].label, "Motherboard");

  EXPECT_EQ(ThermalChips(zones, false, true).size(), 1u);
  EXPECT_TRUE(ThermalChips(zones, false, false).empty());
}

}  // namespace
}  // namespace sensorlib
