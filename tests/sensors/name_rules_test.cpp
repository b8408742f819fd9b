#include "sensors/name_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ostrel::sensors {
namespace {

TemperatureReading Temp(int kind, std::string_view label, std::string_view hardware, float value,
                        int slot = 0) {
  return {.kind = kind, .label = label, .hardware_name = hardware, .value = value, .source = {0, slot}};
}

PassResults Apply(std::initializer_list<TemperatureReading> readings) {
  PassResults results;
  for (const auto& r : readings) ApplyTemperatureRules(results, r);
  return results;
}

int FoundCount(const PassResults& r) {
  int n = 0;
  for (const auto& c : r.candidates) n += c.found;
  return n;
}

TEST(ProcessorRules, TctlTdieNeedsTheExactLabel) {
  auto r = Apply({Temp(11, "CPU (Tctl/Tdie)", "AMD Ryzen 7 5800X", 61.5f)});
  EXPECT_TRUE(r[ResultId::TctlTdie].found);
  EXPECT_FLOAT_EQ(r[ResultId::TctlTdie].value, 61.5f);
  EXPECT_EQ(FoundCount(r), 1);

  for (std::string_view near : {"CPU (Tctl/Tdie) ", "cpu (tctl/tdie)", "Core (Tctl/Tdie)", "CPU (Tctl)"}) {
    EXPECT_EQ(FoundCount(Apply({Temp(11, near, "AMD Ryzen 7 5800X", 61.5f)})), 0) << near;
  }
}

TEST(ProcessorRules, PackageFromLabelOrHardwareNameLastWins) {
  auto r = Apply({Temp(11, "CPU Package", "Intel Core i7", 50, 1),
                  Temp(11, "Core Max", "CPU Package sensor", 55, 7),
                  Temp(11, "My CPU Package #2", "Intel Core i7", 52, 9)});
  EXPECT_FLOAT_EQ(r[ResultId::ProcessorPackage].value, 52);
  EXPECT_EQ(r[ResultId::ProcessorPackage].source.slot, 9);
  EXPECT_FALSE(r[ResultId::BoardPackage].found);
}

TEST(ProcessorRules, MatchingIsCaseSensitive) {
  EXPECT_EQ(FoundCount(Apply({Temp(11, "cpu package", "Intel Core i7", 50)})), 0);
  EXPECT_EQ(FoundCount(Apply({Temp(11, "CPU PACKAGE", "Intel Core i7", 50)})), 0);
  EXPECT_EQ(FoundCount(Apply({Temp(12, "motherboard", "Nuvoton", 30)})), 0);
  EXPECT_EQ(FoundCount(Apply({Temp(13, "GPU temperature", "GeForce", 40)})), 0);
}

TEST(ProcessorRules, ALabelCanSetTctlAndPackageAtOnce) {
  auto r = Apply({Temp(11, "CPU (Tctl/Tdie)", "CPU Package board", 60)});
  EXPECT_TRUE(r[ResultId::TctlTdie].found);
  EXPECT_TRUE(r[ResultId::ProcessorPackage].found);
}

TEST(MainboardRules, PlainCpuAndPackageOnlyWithCpuSomewhere) {
  auto r = Apply({Temp(12, "CPU", "Nuvoton NCT6798D", 45, 1), Temp(12, "CPU", "Nuvoton NCT6798D", 47, 2)});
  EXPECT_FLOAT_EQ(r[ResultId::BoardCpu].value, 47);  // last wins
  EXPECT_EQ(r[ResultId::BoardCpu].source.slot, 2);
  EXPECT_FALSE(r[ResultId::BoardPackage].found);

  r = Apply({Temp(12, "CPU Package", "ITE IT8688E", 49)});
  EXPECT_TRUE(r[ResultId::BoardPackage].found);
  EXPECT_FALSE(r[ResultId::BoardCpu].found);  // "CPU Package" does not equal "CPU"

  // The hardware name alone can carry "CPU Package".
  r = Apply({Temp(12, "Temperature #1", "CPU Package Monitor", 48)});
  EXPECT_TRUE(r[ResultId::BoardPackage].found);

  for (std::string_view label : {"CPU ", " CPU", "Cpu", "CPU Core"}) {
    EXPECT_FALSE(Apply({Temp(12, label, "Nuvoton", 45)})[ResultId::BoardCpu].found) << label;
  }
}

TEST(MainboardRules, MotherboardFirstOneWins) {
  auto r = Apply({Temp(12, "Motherboard", "Nuvoton", 31, 1), Temp(12, "Motherboard", "Nuvoton", 35, 2),
                  Temp(12, "Temperature", "Motherboard chip", 40, 3)});
  EXPECT_FLOAT_EQ(r[ResultId::Mainboard].value, 31);
  EXPECT_EQ(r[ResultId::Mainboard].source.slot, 1);
}

TEST(MainboardRules, MotherboardDoesNotNeedCpu) {
  auto r = Apply({Temp(12, "Motherboard", "ITE IT8688E", 33)});
  EXPECT_TRUE(r[ResultId::Mainboard].found);
  EXPECT_EQ(FoundCount(r), 1);
  // and a reading can count as CPU and as mainboard at once
  r = Apply({Temp(12, "CPU", "Motherboard sensors", 44)});
  EXPECT_TRUE(r[ResultId::BoardCpu].found);
  EXPECT_TRUE(r[ResultId::Mainboard].found);
}

TEST(MainboardRules, OnlyKind12) {
  for (int kind : {10, 11, 13, 14, 17, 0, -1}) {
    auto r = Apply({Temp(kind, "Motherboard", "Board", 33), Temp(kind, "CPU", "Board", 40)});
    EXPECT_FALSE(r[ResultId::Mainboard].found) << kind;
    EXPECT_FALSE(r[ResultId::BoardCpu].found) << kind;
  }
}

TEST(GraphicsRules, HighestWinsPerGroup) {
  auto r = Apply({Temp(13, "GPU Temperature", "NVIDIA GeForce RTX 3070", 50, 1),
                  Temp(13, "GPU Temperature", "NVIDIA GeForce RTX 3070", 62, 2),
                  Temp(13, "GPU Temperature", "NVIDIA GeForce RTX 3070", 55, 3),
                  Temp(13, "GPU Temperature", "Intel(R) UHD Graphics 770", 41, 4),
                  Temp(13, "GPU Temperature", "Intel(R) UHD Graphics 770", 39, 5)});
  EXPECT_FLOAT_EQ(r[ResultId::GpuDedicated].value, 62);
  EXPECT_EQ(r[ResultId::GpuDedicated].source.slot, 2);
  EXPECT_FLOAT_EQ(r[ResultId::GpuIntegrated].value, 41);
  EXPECT_EQ(r[ResultId::GpuIntegrated].source.slot, 4);
}

TEST(GraphicsRules, FirstValueTakenEvenWhenNegativeOrZero) {
  auto r = Apply({Temp(13, "GPU Temperature", "GeForce", -5), Temp(13, "GPU Temperature", "GeForce", -7)});
  EXPECT_TRUE(r[ResultId::GpuDedicated].found);
  EXPECT_FLOAT_EQ(r[ResultId::GpuDedicated].value, -5);
}

TEST(GraphicsRules, GpuTemperatureInHardwareNameCounts) {
  auto r = Apply({Temp(13, "Core", "GPU Temperature probe", 44)});
  EXPECT_TRUE(r[ResultId::GpuIntegrated].found);
  EXPECT_EQ(FoundCount(Apply({Temp(13, "GPU Core", "NVIDIA GeForce RTX 3070", 44)})), 0);
}

TEST(GraphicsRules, DedicatedMarkers) {
  for (std::string_view name : {"NVIDIA T400", "GeForce GT 1030", "Quadro RTX 4000", "GTX 1660",
                                "AMD Radeon RX 6800", "Radeon Vega 8", "xRXx", "VegaLike"}) {
    EXPECT_TRUE(IsDedicatedAdapter(name)) << name;
  }
  for (std::string_view name : {"Intel(R) UHD Graphics 770", "AMD Radeon(TM) Graphics", "nvidia", "geforce",
                                "Rx 580", "vega", "", "Intel Arc A770"}) {
    EXPECT_FALSE(IsDedicatedAdapter(name)) << name;
  }
}

TEST(Rules, OtherKindsChangeNothing) {
  for (int kind : {0, 10, 14, 17, 255}) {
    auto r = Apply({Temp(kind, "CPU Package", "CPU Package", 1), Temp(kind, "CPU (Tctl/Tdie)", "x", 1),
                    Temp(kind, "GPU Temperature", "GeForce", 1)});
    EXPECT_EQ(FoundCount(r), 0) << kind;
  }
}

TEST(LoadRules, CpuUsageLabels) {
  for (std::string_view label :
       {"CPU Total", "Total", "Average", "CPU Utilization", "Core Average #1", "Totals"}) {
    EXPECT_EQ(ClassifyLoad(11, label, "Intel"), LoadKind::Cpu) << label;
  }
  EXPECT_EQ(ClassifyLoad(11, "CPU Core #1", "Intel"), LoadKind::None);
  EXPECT_EQ(ClassifyLoad(11, "total", "Intel"), LoadKind::None);
  EXPECT_EQ(ClassifyLoad(12, "CPU Total", "Board"), LoadKind::None);
}

TEST(LoadRules, GpuUsageByAdapter) {
  for (std::string_view label : {"GPU Utilization", "GPU D3D Usage", "GPU Bus Load"}) {
    EXPECT_EQ(ClassifyLoad(13, label, "NVIDIA GeForce RTX 3070"), LoadKind::DedicatedGpu) << label;
    EXPECT_EQ(ClassifyLoad(13, label, "Intel(R) UHD Graphics 770"), LoadKind::IntegratedGpu) << label;
    EXPECT_EQ(ClassifyLoad(11, label, "NVIDIA"), LoadKind::None) << label;
  }
  EXPECT_EQ(ClassifyLoad(13, "GPU Memory", "NVIDIA"), LoadKind::None);
  EXPECT_EQ(ClassifyLoad(13, "CPU Total", "NVIDIA"), LoadKind::None);
}

TEST(NarrowReading, KeepsFiniteFloatsRejectsTheRest) {
  EXPECT_EQ(NarrowReading(45.25), 45.25f);
  EXPECT_EQ(NarrowReading(-40.0), -40.0f);
  EXPECT_EQ(NarrowReading(0.0), 0.0f);
  EXPECT_EQ(NarrowReading(std::numeric_limits<float>::max()), std::numeric_limits<float>::max());
  EXPECT_FALSE(NarrowReading(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(NarrowReading(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(NarrowReading(-std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(NarrowReading(1e39));
  EXPECT_FALSE(NarrowReading(-1e300));
}

}  // namespace
}  // namespace ostrel::sensors
