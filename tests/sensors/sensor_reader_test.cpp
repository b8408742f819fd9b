#include "sensors/sensor_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "sensors/hardware_block.h"
#include "tests/sensors/build_paths_win.h"
#include "tests/sensors/fake_library.h"

namespace {

using ostrel::sensors::BlockField;
using ostrel::sensors::kBlockName;
using ostrel::sensors::kBlockSize;
using ostrel::sensors::LoadBlockFloat;
using ostrel::sensors::OpenHardwareBlock;
using ostrel::sensors::SensorReader;
using ostrel::sensors::StoreBlockFloat;

// Programs a test build of the library through its named functions; the
// reader under test binds the same module by ordinals.
class FakeDll {
 public:
  explicit FakeDll(const char* file)
      : path_(sensors_test::SimLibrary(file)), module_(::LoadLibraryA(path_.c_str())) {}
  bool Loaded() const { return static_cast<bool>(module_); }
  const std::string& Path() const { return path_; }
  void Program(const fake::Scenario& scenario) const {
    reinterpret_cast<void (*)(const fake::Scenario&)>(Proc("FakeProgram"))(scenario);
  }
  std::vector<fake::Call> Calls() const {
    std::vector<fake::Call> calls;
    reinterpret_cast<void (*)(std::vector<fake::Call>&)>(Proc("FakeCalls"))(calls);
    return calls;
  }
  std::vector<fake::Entry> Entries() const {
    std::vector<fake::Entry> out;
    for (const auto& c : Calls()) {
      if (c.entry != fake::Entry::Reading && c.entry != fake::Entry::Select && c.entry != fake::Entry::Name) {
        out.push_back(c.entry);
      }
    }
    return out;
  }

 private:
  void (*Proc(const char* name) const)() {
    return reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), name));
  }
  std::string path_;
  ostrel::win::unique_hmodule module_;
};

// Standard output of a stretch of code, trace lines included.
template <typename Body>
std::string Stdout(Body&& body) {
  ::testing::internal::CaptureStdout();
  body();
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

// The block as another process would hold it: created first, filled with a
// pattern, kept open for the whole test.
class OtherHolder {
 public:
  OtherHolder() {
    handle_.reset(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, kBlockName));
    view_.reset(::MapViewOfFile(handle_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (view_) std::memset(view_.get(), 0xA5, kBlockSize);
  }
  void* View() const { return view_.get(); }
  std::vector<unsigned char> Bytes() const {
    auto* p = static_cast<const unsigned char*>(view_.get());
    return {p, p + kBlockSize};
  }

 private:
  ostrel::win::unique_handle handle_;
  ostrel::win::unique_mapped_view view_;
};

fake::Reading Temp(int slot, double value, int kind, std::string label) {
  return {.sensor_class = 1, .slot = slot, .value = value, .kind = kind, .label = std::move(label)};
}

fake::Scenario Desktop() {
  return {
      .items = {
          {.name = "AMD Ryzen 7 5800X",
           .readings = {Temp(0, 63.5, 11, "CPU (Tctl/Tdie)"),
                        {.sensor_class = 7, .slot = 0, .value = 18.44, .kind = 11, .label = "CPU Total"}}},
          {.name = "Nuvoton NCT6798D", .readings = {Temp(0, 34, 12, "Motherboard")}},
          {.name = "NVIDIA GeForce RTX 3070", .readings = {Temp(0, 51, 13, "GPU Temperature")}}}};
}

TEST(Binding, MissingLibraryIsReportedEveryPassAndNothingIsRead) {
  SensorReader reader(sensors_test::SimLibrary("no-such-library.dll"));
  EXPECT_EQ(Stdout([&] {
              reader.ReadSensors();
              reader.ReadSensors();
            }),
            "CANNOT LOAD DLL\nCANNOT LOAD DLL\n");
  EXPECT_FALSE(reader.IsLibraryBound());
  EXPECT_FALSE(reader.IsLibraryInitialised());
}

TEST(Binding, MissingOrdinalIsReportedAndInitIsNotCalled) {
  FakeDll dll("fake_sensorlib_no641.dll");
  ASSERT_TRUE(dll.Loaded());
  dll.Program(Desktop());
  SensorReader reader(dll.Path());
  EXPECT_EQ(Stdout([&] { reader.ReadSensors(); }), "CANNOT LOAD DLL\n");
  EXPECT_TRUE(dll.Calls().empty());
  EXPECT_FALSE(reader.IsLibraryBound());
}

TEST(Binding, InitOkOnceThenPassesOnly) {
  FakeDll dll("fake_sensorlib.dll");
  ASSERT_TRUE(dll.Loaded());
  dll.Program(Desktop());
  SensorReader reader(dll.Path());
  const std::string out = Stdout([&] {
    reader.ReadSensors();
    reader.ReadSensors();
  });
  const std::string pass =
      "Sensor: AMD Ryzen 7 5800X, Location: CPU Total, Value: 18.4%, Type: 11\nFound CPU usage: 18.4%\n";
  EXPECT_EQ(out, "INIT OK\n" + pass + pass);
  const auto calls = dll.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].entry, fake::Entry::Init);
  EXPECT_EQ(calls[0].a, 192);
  using E = fake::Entry;
  EXPECT_EQ(dll.Entries(), (std::vector<E>{E::Init, E::Count, E::Update, E::Count, E::Update}));
  EXPECT_TRUE(reader.IsLibraryInitialised());
}

TEST(Binding, InitFailureIsRetriedEveryPassAndThePassGoesOn) {
  FakeDll dll("fake_sensorlib.dll");
  fake::Scenario s = Desktop();
  s.init_result = 3;
  dll.Program(s);
  SensorReader reader(dll.Path());
  const std::string out = Stdout([&] {
    reader.ReadSensors();
    reader.ReadSensors();
  });
  const std::string pass =
      "INIT FAILED 3\nSensor: AMD Ryzen 7 5800X, Location: CPU Total, Value: 18.4%, Type: 11\nFound CPU "
      "usage: 18.4%\n";
  EXPECT_EQ(out, pass + pass);
  using E = fake::Entry;
  EXPECT_EQ(dll.Entries(), (std::vector<E>{E::Init, E::Count, E::Update, E::Init, E::Count, E::Update}));
  EXPECT_FALSE(reader.IsLibraryInitialised());
  EXPECT_TRUE(reader.IsLibraryBound());
}

TEST(Binding, ExplicitBindingAttempt) {
  FakeDll dll("fake_sensorlib.dll");
  fake::Scenario s;
  s.init_result = -7;
  dll.Program(s);
  SensorReader reader(dll.Path());
  EXPECT_EQ(Stdout([&] { reader.BindSensorLibrary(); }), "INIT FAILED -7\n");
  s.init_result = 0;
  dll.Program(s);
  EXPECT_EQ(Stdout([&] { reader.BindSensorLibrary(); }), "INIT OK\n");
  EXPECT_TRUE(reader.IsLibraryInitialised());
}

// Nothing unloads the library: it may run threads of its own, and a reader
// that goes at shutdown must not pull it out from under them.
TEST(Binding, TheLibraryStaysLoadedAfterTheReaderGoes) {
  const std::string path = sensors_test::SimLibrary("fake_sensorlib.dll");
  ASSERT_EQ(::GetModuleHandleA(path.c_str()), nullptr);
  {
    SensorReader reader(path);
    Stdout([&] {
      reader.ReadSensors();
      reader.BindSensorLibrary();
    });
    ASSERT_TRUE(reader.IsLibraryBound());
  }
  EXPECT_NE(::GetModuleHandleA(path.c_str()), nullptr);
}

class Block : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_.Loaded());
    ASSERT_TRUE(other_.View());
  }
  float Field(BlockField f) const { return LoadBlockFloat(other_.View(), f); }

  FakeDll dll_{"fake_sensorlib.dll"};
  OtherHolder other_;
};

TEST_F(Block, ExistingBlockKeepsEverythingButTheFieldsFound) {
  dll_.Program(Desktop());
  SensorReader reader(dll_.Path());
  ASSERT_TRUE(reader.MapHardwareBlock());
  EXPECT_TRUE(reader.IsBlockMapped());
  auto before = other_.Bytes();
  Stdout([&] { reader.ReadSensors(); });

  EXPECT_EQ(Field(BlockField::Cpu), 63.5f);
  EXPECT_EQ(Field(BlockField::GpuDedicated), 51.0f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), 0.0f);
  EXPECT_EQ(Field(BlockField::Mainboard), 34.0f);
  EXPECT_EQ(reader.CpuTemperature(), 63.5f);
  const auto after = other_.Bytes();
  for (std::size_t i = 0; i < kBlockSize; ++i) {
    const bool field =
        (i >= 152 && i < 156) || (i >= 296 && i < 300) || (i >= 444 && i < 448) || (i >= 584 && i < 588);
    if (!field) {
      ASSERT_EQ(after[i], before[i]) << "byte " << i;
    }
  }
}

TEST_F(Block, FieldsWithoutReadingsKeepTheirValues) {
  SensorReader reader(dll_.Path());
  ASSERT_TRUE(reader.MapHardwareBlock());
  StoreBlockFloat(other_.View(), BlockField::Cpu, 42.0f);
  StoreBlockFloat(other_.View(), BlockField::GpuDedicated, 43.0f);
  StoreBlockFloat(other_.View(), BlockField::GpuIntegrated, 44.0f);
  StoreBlockFloat(other_.View(), BlockField::Mainboard, 45.0f);

  // Readings that match no rule.
  dll_.Program({.items = {{.name = "Intel Core i5", .readings = {Temp(0, 50, 11, "cpu package")}}}});
  Stdout([&] { reader.ReadSensors(); });
  EXPECT_EQ(Field(BlockField::Cpu), 42.0f);
  EXPECT_EQ(Field(BlockField::GpuDedicated), 43.0f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), 44.0f);
  EXPECT_EQ(Field(BlockField::Mainboard), 45.0f);

  // Zero and negative counts change nothing either.
  for (int count : {0, -1}) {
    dll_.Program({.count_from_items = false, .count = count, .items = Desktop().items});
    Stdout([&] { reader.ReadSensors(); });
    EXPECT_EQ(Field(BlockField::Cpu), 42.0f) << count;
    EXPECT_EQ(Field(BlockField::Mainboard), 45.0f) << count;
  }

  // An integrated adapter alone: its value at 444, 0 at 296.
  dll_.Program(
      {.items = {{.name = "Intel(R) UHD Graphics 770", .readings = {Temp(0, 39, 13, "GPU Temperature")}}}});
  Stdout([&] { reader.ReadSensors(); });
  EXPECT_EQ(Field(BlockField::GpuDedicated), 0.0f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), 39.0f);
  EXPECT_EQ(Field(BlockField::Cpu), 42.0f);
}

TEST_F(Block, MissingLibraryLeavesTheBlockAlone) {
  SensorReader reader(sensors_test::SimLibrary("no-such-library.dll"));
  ASSERT_TRUE(reader.MapHardwareBlock());
  const auto before = other_.Bytes();
  Stdout([&] { reader.ReadSensors(); });
  EXPECT_EQ(other_.Bytes(), before);
}

TEST_F(Block, NonFiniteValuesAtTheCpuFieldReadAsZero) {
  SensorReader reader(dll_.Path());
  ASSERT_TRUE(reader.MapHardwareBlock());
  StoreBlockFloat(other_.View(), BlockField::Cpu, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(reader.CpuTemperature(), 0.0f);
  StoreBlockFloat(other_.View(), BlockField::Cpu, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(reader.CpuTemperature(), 0.0f);
  StoreBlockFloat(other_.View(), BlockField::Cpu, -3.5f);
  EXPECT_EQ(reader.CpuTemperature(), -3.5f);

  // A library reporting NaN does not get it into the block.
  dll_.Program(
      {.items = {{.name = "CPU",
                  .readings = {Temp(0, std::numeric_limits<double>::quiet_NaN(), 11, "CPU Package")}}}});
  Stdout([&] { reader.ReadSensors(); });
  EXPECT_EQ(Field(BlockField::Cpu), -3.5f);
}

TEST_F(Block, UnterminatedNamesAndLabelsThroughTheDll) {
  fake::Reading load{.sensor_class = 7, .slot = 0, .value = 5, .kind = 11, .label_without_nul = true};
  fake::Reading temp = Temp(1, 50, 11, "");
  temp.label_without_nul = true;
  dll_.Program({.items = {{.name_without_nul = true, .readings = {load, temp}}}});
  SensorReader reader(dll_.Path());
  ASSERT_TRUE(reader.MapHardwareBlock());
  const std::string out = Stdout([&] { reader.ReadSensors(); });
  EXPECT_EQ(out, "INIT OK\nSensor: " + std::string(256, 'N') + ", Location: " + std::string(136, 'L') +
                     ", Value: 5.0%, Type: 11\n");
}

TEST(BlockMapping, NewBlockIsZeroedAndStaysMapped) {
  SensorReader reader(sensors_test::SimLibrary("no-such-library.dll"));
  EXPECT_FALSE(reader.IsBlockMapped());
  EXPECT_EQ(reader.CpuTemperature(), 0.0f);
  ASSERT_TRUE(reader.MapHardwareBlock());
  ASSERT_TRUE(reader.MapHardwareBlock());  // a second call keeps the first mapping

  ostrel::win::unique_handle again(::OpenFileMappingA(FILE_MAP_READ, FALSE, kBlockName));
  ASSERT_TRUE(again);
  ostrel::win::unique_mapped_view view(::MapViewOfFile(again.get(), FILE_MAP_READ, 0, 0, 0));
  ASSERT_TRUE(view);
  auto* bytes = static_cast<const unsigned char*>(view.get());
  for (std::size_t i = 0; i < kBlockSize; ++i) ASSERT_EQ(bytes[i], 0) << i;
}

TEST(BlockMapping, FreeFunctionReportsCreation) {
  const auto first = OpenHardwareBlock();
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->created);
  const auto second = OpenHardwareBlock();
  ASSERT_TRUE(second);
  EXPECT_FALSE(second->created);
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(::VirtualQuery(second->view.get(), &info, sizeof info), 0u);
  EXPECT_GE(info.RegionSize, kBlockSize);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READWRITE));
}

}  // namespace
