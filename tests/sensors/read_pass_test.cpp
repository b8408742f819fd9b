#include "sensors/read_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "tests/sensors/fake_library.h"

namespace ostrel::sensors {
namespace {

class Lines final : public TraceSink {
 public:
  void Write(std::string_view line) noexcept override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

class Seen final : public PassObserver {
 public:
  struct Row {
    int hardware, sensor_class, slot, kind;
    std::string name, label;
    double value;
  };
  void OnReading(const ObservedReading& r) noexcept override {
    rows.push_back({r.hardware, r.sensor_class, r.slot, r.kind, std::string(r.hardware_name),
                    std::string(r.label), r.value});
  }
  void OnPassEnd(const PassOutcome&) noexcept override {}
  std::vector<Row> rows;
};

EntryPoints FakeEntryPoints() {
  return {fake::Init,   fake::Uncalled,       fake::Uncalled,     fake::HardwareCount,
          fake::Update, fake::SelectHardware, fake::HardwareName, fake::GetReading};
}

fake::Reading Temp(int slot, double value, int kind, std::string label) {
  return {.sensor_class = 1, .slot = slot, .value = value, .kind = kind, .label = std::move(label)};
}
fake::Reading Load(int slot, double value, int kind, std::string label) {
  return {.sensor_class = 7, .slot = slot, .value = value, .kind = kind, .label = std::move(label)};
}
fake::Reading EndOfSlot(int sensor_class, int slot) {
  return {.sensor_class = sensor_class, .slot = slot, .present = 0};
}

class ReadPass : public ::testing::Test {
 protected:
  std::optional<PassResults> Run(const fake::Scenario& scenario) {
    fake::Program(scenario);
    return RunReadPass(FakeEntryPoints(), trace_, &seen_);
  }
  std::vector<fake::Call> Queries(int hardware, int slot) const {
    std::vector<fake::Call> out;
    for (const auto& c : fake::Calls()) {
      if (c.entry == fake::Entry::Reading && c.b == hardware && c.c == slot) out.push_back(c);
    }
    return out;
  }
  static std::vector<int> Classes(const std::vector<fake::Call>& calls) {
    std::vector<int> out;
    for (const auto& c : calls) out.push_back(c.a);
    return out;
  }

  Lines trace_;
  Seen seen_;
};

TEST_F(ReadPass, CallSequenceWalksEveryItemAndAll512Slots) {
  auto results = Run({.items = {{.name = "A"}, {.name = "B"}}});
  ASSERT_TRUE(results);
  const auto calls = fake::Calls();
  ASSERT_EQ(calls.size(), 2u + 2 * (2 + 512 * 5));
  EXPECT_EQ(calls[0].entry, fake::Entry::Count);
  EXPECT_EQ(calls[1].entry, fake::Entry::Update);
  std::size_t i = 2;
  for (int hardware = 0; hardware < 2; ++hardware) {
    EXPECT_EQ(calls[i].entry, fake::Entry::Select);
    EXPECT_EQ(calls[i].a, hardware);
    EXPECT_EQ(calls[i + 1].entry, fake::Entry::Name);
    EXPECT_EQ(calls[i + 1].a, hardware);
    EXPECT_EQ(calls[i + 1].b, 256);
    i += 2;
    for (int slot = 0; slot < 512; ++slot) {
      for (int sensor_class : {1, 3, 6, 2, 7}) {
        ASSERT_EQ(calls[i].entry, fake::Entry::Reading);
        ASSERT_EQ(calls[i].a, sensor_class);
        ASSERT_EQ(calls[i].b, hardware);
        ASSERT_EQ(calls[i].c, slot);
        ++i;
      }
    }
  }
  EXPECT_TRUE(trace_.lines.empty());
}

TEST_F(ReadPass, ZeroOrNegativeCountEndsThePassAfterTheCount) {
  for (int count : {0, -1, std::numeric_limits<int>::min()}) {
    EXPECT_FALSE(Run({.count_from_items = false, .count = count, .items = {{.name = "A"}}})) << count;
    const auto calls = fake::Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].entry, fake::Entry::Count);
  }
}

// A library that claims hundreds of thousands of items is read up to the
// cap, with one trace line saying so; at the cap itself nothing is said. Its
// slots are all empty (one query each), so the pass stays quick here.
namespace huge {
int count = 0;
int selects = 0;
int highest = -1;
std::int32_t Count() { return count; }
void Select(std::int32_t hardware) {
  ++selects;
  highest = std::max(highest, static_cast<int>(hardware));
}
std::int32_t EmptySlot(std::int32_t, std::int32_t, std::int32_t, void*) { return 1; }
}  // namespace huge

TEST(ReadPassCap, HugeCountsAreReadUpToTheCap) {
  const EntryPoints library{fake::Init,   fake::Uncalled, fake::Uncalled,     huge::Count,
                            fake::Update, huge::Select,   fake::HardwareName, huge::EmptySlot};
  for (int count : {300000, std::numeric_limits<int>::max(), kMaxHardwareItems}) {
    huge::count = count;
    huge::selects = 0;
    huge::highest = -1;
    Lines trace;
    ASSERT_TRUE(RunReadPass(library, trace, nullptr)) << count;
    EXPECT_EQ(huge::selects, kMaxHardwareItems);
    EXPECT_EQ(huge::highest, kMaxHardwareItems - 1);
    if (count == kMaxHardwareItems) {
      EXPECT_TRUE(trace.lines.empty());
    } else {
      EXPECT_EQ(trace.lines,
                std::vector<std::string>{"Hardware count " + std::to_string(count) +
                                         " is above 1024: only the first 1024 items are read\n"});
    }
  }
}

TEST_F(ReadPass, EmptyPresentEndsTheSlotAtEachClass) {
  fake::Item item{.name = "X",
                  .readings = {EndOfSlot(1, 0), EndOfSlot(3, 1), EndOfSlot(6, 2), EndOfSlot(2, 3),
                               EndOfSlot(7, 4), Temp(5, 40, 11, "T"), EndOfSlot(3, 5)}};
  Run({.items = {item}});
  EXPECT_EQ(Classes(Queries(0, 0)), (std::vector<int>{1}));
  EXPECT_EQ(Classes(Queries(0, 1)), (std::vector<int>{1, 3}));
  EXPECT_EQ(Classes(Queries(0, 2)), (std::vector<int>{1, 3, 6}));
  EXPECT_EQ(Classes(Queries(0, 3)), (std::vector<int>{1, 3, 6, 2}));
  EXPECT_EQ(Classes(Queries(0, 4)), (std::vector<int>{1, 3, 6, 2, 7}));
  // A temperature reading does not end the slot; the fan's empty answer does.
  EXPECT_EQ(Classes(Queries(0, 5)), (std::vector<int>{1, 3}));
  EXPECT_EQ(Classes(Queries(0, 6)), (std::vector<int>{1, 3, 6, 2, 7}));
}

TEST_F(ReadPass, RecordIsZeroedOnlyBeforeTheFirstQueryOfASlot) {
  Run({.items = {{.name = "X", .readings = {Temp(0, 40, 11, "T"), Temp(1, 41, 11, "U")}}}});
  const auto slot0 = Queries(0, 0);
  ASSERT_EQ(slot0.size(), 5u);
  EXPECT_TRUE(slot0[0].record_zero);
  for (std::size_t i = 1; i < slot0.size(); ++i) EXPECT_FALSE(slot0[i].record_zero) << i;
  EXPECT_TRUE(Queries(0, 1)[0].record_zero);
  EXPECT_TRUE(Queries(0, 2)[0].record_zero);
}

TEST_F(ReadPass, LoadTraceLines) {
  fake::Scenario s{
      .items = {
          {.name = "Intel Core i7-12700K",
           .readings = {Load(0, 12.34, 11, "CPU Total"), Load(1, 99.95, 11, "CPU Core #1")}},
          {.name = "NVIDIA GeForce RTX 3070", .readings = {Load(0, 7.26, 13, "GPU Utilization")}},
          {.name = "Intel(R) UHD Graphics 770", .readings = {Load(3, 0.04, 13, "GPU D3D Usage")}},
          {.name = "Generic Memory", .readings = {Load(0, 47.3, 10, "Memory")}},
      }};
  Run(s);
  EXPECT_EQ(trace_.lines,
            (std::vector<std::string>{
                "Sensor: Intel Core i7-12700K, Location: CPU Total, Value: 12.3%, Type: 11\n",
                "Found CPU usage: 12.3%\n",
                "Sensor: Intel Core i7-12700K, Location: CPU Core #1, Value: 100.0%, Type: 11\n",
                "Sensor: NVIDIA GeForce RTX 3070, Location: GPU Utilization, Value: 7.3%, Type: 13\n",
                "Found Dedicated GPU usage: 7.3%\n",
                "Sensor: Intel(R) UHD Graphics 770, Location: GPU D3D Usage, Value: 0.0%, Type: 13\n",
                "Found Integrated GPU usage: 0.0%\n",
                "Sensor: Generic Memory, Location: Memory, Value: 47.3%, Type: 10\n",
            }));
}

TEST_F(ReadPass, ALoadQueryThatFailsOrIsEmptyTracesNothing) {
  Run({.items = {{.name = "X", .readings = {EndOfSlot(7, 0), Temp(1, 40, 11, "CPU Total")}}}});
  EXPECT_TRUE(trace_.lines.empty());
}

TEST_F(ReadPass, UnterminatedNamesAndLabelsStayInTheirFields) {
  fake::Reading load = Load(0, 5, 13, "");
  load.label_without_nul = true;
  fake::Reading temp = Temp(1, 50, 13, "");
  temp.label_without_nul = true;
  Run({.items = {{.name_without_nul = true, .readings = {load, temp}}}});
  const std::string name(256, 'N'), label(136, 'L');
  ASSERT_EQ(trace_.lines.size(), 1u);
  EXPECT_EQ(trace_.lines[0], "Sensor: " + name + ", Location: " + label + ", Value: 5.0%, Type: 13\n");
  ASSERT_EQ(seen_.rows.size(), 2u);
  EXPECT_EQ(seen_.rows[0].name, name);
  EXPECT_EQ(seen_.rows[0].label, label);
  EXPECT_EQ(seen_.rows[1].label, label);
}

TEST_F(ReadPass, ObserverSeesEveryPresentReadingInQueryOrder) {
  Run({.items = {{.name = "Nuvoton",
                  .readings = {{.sensor_class = 3, .slot = 0, .value = 812, .kind = 12, .label = "Fan"},
                               Temp(0, 34, 12, "Motherboard"),
                               {.sensor_class = 2, .slot = 0, .value = 1.25, .kind = 12, .label = "Vcore"},
                               EndOfSlot(6, 1)}}}});
  ASSERT_EQ(seen_.rows.size(), 3u);
  EXPECT_EQ(seen_.rows[0].sensor_class, 1);
  EXPECT_EQ(seen_.rows[0].label, "Motherboard");
  EXPECT_EQ(seen_.rows[1].sensor_class, 3);
  EXPECT_EQ(seen_.rows[1].value, 812);
  EXPECT_EQ(seen_.rows[2].sensor_class, 2);
  EXPECT_EQ(seen_.rows[2].kind, 12);
  EXPECT_EQ(seen_.rows[2].name, "Nuvoton");
}

TEST_F(ReadPass, NonFiniteTemperaturesAreIgnored) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  auto results =
      Run({.items = {{.name = "Intel Core i7",
                      .readings = {Temp(0, nan, 11, "CPU Package"), Temp(1, inf, 11, "CPU (Tctl/Tdie)")}},
                     {.name = "NVIDIA GeForce RTX 3070",
                      .readings = {Temp(0, 55, 13, "GPU Temperature"), Temp(1, nan, 13, "GPU Temperature"),
                                   Temp(2, 1e300, 13, "GPU Temperature")}}}});
  ASSERT_TRUE(results);
  EXPECT_FALSE((*results)[ResultId::ProcessorPackage].found);
  EXPECT_FALSE((*results)[ResultId::TctlTdie].found);
  EXPECT_EQ((*results)[ResultId::GpuDedicated].value, 55);
  const BlockUpdate u = DecideBlockUpdate(*results);
  EXPECT_FALSE(u.cpu.write);
}

TEST_F(ReadPass, ValuesAreNarrowedToFloat) {
  auto results = Run(
      {.items = {{.name = "AMD Ryzen 7 5800X", .readings = {Temp(0, 45.123456789, 11, "CPU (Tctl/Tdie)")}}}});
  EXPECT_EQ((*results)[ResultId::TctlTdie].value, 45.123456789f);
  EXPECT_EQ((*results)[ResultId::TctlTdie].source.hardware, 0);
  EXPECT_EQ((*results)[ResultId::TctlTdie].source.slot, 0);
}

// The pass's trace reaches a text-mode stream whole, in order and with the
// platform's line ends, in one write per pass; a runaway pass cannot hold
// more than the flush size back.
TEST(FileTraceTest, GathersLinesAndWritesThemInOrderAtTheEndOrWhenLarge) {
#ifdef _WIN32
  const std::string eol = "\r\n";
#else
  const std::string eol = "\n";
#endif
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "ostrel_file_trace_test.txt";
  std::FILE* file = std::fopen(path.string().c_str(), "w");
  ASSERT_NE(file, nullptr);
  const auto written = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  {
    FileTrace trace(file);
    TraceLine(trace, "INIT OK\n");
    TraceLine(trace, "Sensor: %s, Value: %.1f%%\n", "CPU", 45.25);
    EXPECT_EQ(written(), "");  // still gathered
  }
  std::string expected = "INIT OK" + eol + "Sensor: CPU, Value: 45.2%" + eol;
  EXPECT_EQ(written(), expected);

  {
    FileTrace trace(file);
    const std::string line(100, 'x');
    for (std::size_t i = 0; i * 101 < FileTrace::kFlushBytes + 500; ++i) {
      TraceLine(trace, "%s\n", line.c_str());
      expected += line + eol;
    }
    const std::string partial = written();
    EXPECT_GE(partial.size(), FileTrace::kFlushBytes);  // flushed on the way
    EXPECT_LT(partial.size(), expected.size());
    EXPECT_EQ(expected.compare(0, partial.size(), partial), 0);
  }
  EXPECT_TRUE(written() == expected);
  std::fclose(file);
  std::filesystem::remove(path);
}

void Marker() {}

TEST(Binding, OrdinalsAreResolvedInTheLibrarysOrderAndAllAreNeeded) {
  std::vector<int> asked;
  const EntryPoints all = ResolveEntryPoints([&](int ordinal) {
    asked.push_back(ordinal);
    return &Marker;
  });
  EXPECT_EQ(asked, (std::vector<int>{850, 398, 613, 156, 263, 678, 952, 641}));
  EXPECT_TRUE(all.Complete());
  for (int missing : {850, 398, 613, 156, 263, 678, 952, 641}) {
    const EntryPoints some =
        ResolveEntryPoints([&](int ordinal) { return ordinal == missing ? nullptr : &Marker; });
    EXPECT_FALSE(some.Complete()) << missing;
  }
}

// The machines the rules were made for, end to end through the walk.
struct Machine {
  const char* what;
  std::vector<fake::Item> items;
  std::optional<float> cpu, dedicated, integrated, mainboard;
};

// Named in test output by what it is, not by its bytes (which hold pointers).
void PrintTo(const Machine& m, std::ostream* os) { *os << m.what; }

class Machines : public ReadPass, public ::testing::WithParamInterface<Machine> {};

TEST_P(Machines, PublishTheExpectedFields) {
  const Machine& m = GetParam();
  auto results = Run({.items = m.items});
  ASSERT_TRUE(results);
  const BlockUpdate u = DecideBlockUpdate(*results);
  auto field = [](const FieldWrite& w) { return w.write ? std::optional<float>(w.value) : std::nullopt; };
  EXPECT_EQ(field(u.cpu), m.cpu);
  EXPECT_EQ(field(u.gpu_dedicated), m.dedicated);
  EXPECT_EQ(field(u.gpu_integrated), m.integrated);
  EXPECT_EQ(field(u.mainboard), m.mainboard);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Machines,
    ::testing::Values(
        Machine{"Ryzen with Tctl/Tdie only",
                {{.name = "AMD Ryzen 7 5800X", .readings = {Temp(0, 61, 11, "CPU (Tctl/Tdie)")}}},
                61.0f},
        Machine{"package beats Tctl/Tdie",
                {{.name = "AMD Ryzen 9",
                  .readings = {Temp(0, 61, 11, "CPU (Tctl/Tdie)"), Temp(1, 58, 11, "CPU Package")}}},
                58.0f},
        Machine{"board CPU only without package and Tctl",
                {{.name = "Nuvoton NCT6798D",
                  .readings = {Temp(0, 44, 12, "CPU"), Temp(1, 33, 12, "Motherboard")}}},
                44.0f,
                std::nullopt,
                std::nullopt,
                33.0f},
        Machine{"board CPU loses to Tctl",
                {{.name = "Nuvoton NCT6798D", .readings = {Temp(0, 44, 12, "CPU")}},
                 {.name = "AMD Ryzen 7", .readings = {Temp(0, 62, 11, "CPU (Tctl/Tdie)")}}},
                62.0f},
        Machine{"board package beats Tctl",
                {{.name = "AMD Ryzen 7", .readings = {Temp(0, 62, 11, "CPU (Tctl/Tdie)")}},
                 {.name = "ITE IT8688E", .readings = {Temp(0, 57, 12, "CPU Package")}}},
                57.0f},
        Machine{"GeForce and integrated",
                {{.name = "Intel(R) UHD Graphics 770", .readings = {Temp(0, 48, 13, "GPU Temperature")}},
                 {.name = "NVIDIA GeForce RTX 3070",
                  .readings = {Temp(0, 52, 13, "GPU Temperature"), Temp(1, 65, 13, "GPU Temperature"),
                               Temp(2, 60, 13, "GPU Temperature")}}},
                std::nullopt,
                65.0f,
                0.0f},
        Machine{"unmarked adapter is integrated",
                {{.name = "AMD Radeon(TM) Graphics", .readings = {Temp(0, 49, 13, "GPU Temperature")}}},
                std::nullopt,
                0.0f,
                49.0f},
        Machine{"first Motherboard reading wins",
                {{.name = "Nuvoton",
                  .readings = {Temp(0, 31, 12, "Motherboard"), Temp(1, 36, 12, "Motherboard")}},
                 {.name = "ITE", .readings = {Temp(0, 38, 12, "Motherboard")}}},
                std::nullopt,
                std::nullopt,
                std::nullopt,
                31.0f}),
    [](const auto& test) {
      std::string name;
      for (const char* p = test.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

}  // namespace
}  // namespace ostrel::sensors
