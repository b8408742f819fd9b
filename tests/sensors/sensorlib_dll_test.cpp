// The replacement library as the program sees it: loaded from bin, bound by
// ordinals only, answering from a script named by OSTREL_SENSOR_SCRIPT.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/win/unique_any.h"
#include "sensors/reading_record.h"
#include "sensors/sensor_api.h"
#include "tests/sensors/build_paths_win.h"

namespace {

using namespace ostrel::sensors;

// The library reads the variable once, at its first call: one script path
// for the whole process, rewritten by each test.
std::filesystem::path ScriptPath() {
  static const std::filesystem::path path = [] {
    auto p = std::filesystem::temp_directory_path() /
             ("ostrel-sensorlib-" + std::to_string(::GetCurrentProcessId()) + ".txt");
    ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", p.wstring().c_str());
    return p;
  }();
  return path;
}

class SensorLibDll : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptPath();
    module_.reset(::LoadLibraryW((sensors_test::BuildDir() / "bin" / kLibraryFileName).wstring().c_str()));
    ASSERT_TRUE(module_);
    lib_ = ResolveEntryPoints([this](int ordinal) {
      return reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), MAKEINTRESOURCEA(ordinal)));
    });
    ASSERT_TRUE(lib_.Complete());
  }
  void TearDown() override { std::filesystem::remove(ScriptPath()); }

  void WriteScript(const std::string& text) {
    std::ofstream(ScriptPath(), std::ios::binary | std::ios::trunc) << text;
    static int bumps = 0;
    std::filesystem::last_write_time(
        ScriptPath(), std::filesystem::file_time_type::clock::now() + std::chrono::seconds(++bumps));
  }

  ostrel::win::unique_hmodule module_;
  EntryPoints lib_;
};

TEST_F(SensorLibDll, ExportsNoNames) {
  for (const char* name : {"SensorInit", "SensorHardwareCount", "SensorUpdate", "SensorGetReading",
                           "SensorHardwareName", "SensorSelectHardware", "SensorShutdown", "SensorVersion"}) {
    EXPECT_EQ(::GetProcAddress(module_.get(), name), nullptr) << name;
  }
}

TEST_F(SensorLibDll, AnswersFromTheScript) {
  WriteScript(
      "hardware processor AMD Ryzen 7 5800X\n"
      "temperature 0 steps(55.5,56.5) CPU (Tctl/Tdie)\n"
      "load 0 17.25 CPU Total\n"
      "load 2 3 Core #2\n"
      "hardware 17 Ethernet\n");
  ASSERT_EQ(lib_.init(kInitFlags), 0);
  ASSERT_EQ(lib_.hardware_count(), 2);
  lib_.update();
  lib_.select_hardware(0);
  HardwareName name;
  lib_.hardware_name(0, name.chars.data(), kHardwareNameSize);
  EXPECT_EQ(name.View(), "AMD Ryzen 7 5800X");

  ReadingRecord record;
  ASSERT_EQ(lib_.get_reading(kClassTemperature, 0, 0, &record), 1);
  Reading r = DecodeReading(record);
  EXPECT_EQ(r.present, 1);
  EXPECT_EQ(r.value, 55.5);
  EXPECT_EQ(r.kind, 11);
  EXPECT_EQ(r.label, "CPU (Tctl/Tdie)");
  // Another class at the same slot: fails and leaves the record alone.
  EXPECT_EQ(lib_.get_reading(kClassFan, 0, 0, &record), 0);
  EXPECT_EQ(DecodeReading(record).label, "CPU (Tctl/Tdie)");
  ASSERT_EQ(lib_.get_reading(kClassLoad, 0, 0, &record), 1);
  EXPECT_EQ(DecodeReading(record).value, 17.25);
  // A gap and the slots past the last reading end the slot.
  for (int slot : {1, 3, 511}) {
    ASSERT_EQ(lib_.get_reading(kClassTemperature, 0, slot, &record), 1) << slot;
    EXPECT_EQ(DecodeReading(record).present, 0) << slot;
  }
  EXPECT_EQ(lib_.get_reading(kClassLoad, 0, 2, &record), 1);

  lib_.update();
  lib_.get_reading(kClassTemperature, 0, 0, &record);
  EXPECT_EQ(DecodeReading(record).value, 56.5);
}

TEST_F(SensorLibDll, MissingScriptMeansNoHardwareAndALine) {
  std::filesystem::remove(ScriptPath());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(lib_.init(kInitFlags), 0);
  EXPECT_EQ(lib_.hardware_count(), 0);
  std::fflush(stderr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("sensorlib: no sensor script at "), std::string::npos) << err;
  EXPECT_NE(err.find("(from OSTREL_SENSOR_SCRIPT); no hardware"), std::string::npos) << err;
}

TEST_F(SensorLibDll, MalformedScriptMeansNoHardwareAndALine) {
  WriteScript("hardware processor X\ntemperature 0 hot CPU Package\n");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(lib_.init(kInitFlags), 0);
  EXPECT_EQ(lib_.hardware_count(), 0);
  std::fflush(stderr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(": line 2: bad value \"hot\""), std::string::npos) << err;
  // Mended, it comes back at the next count.
  WriteScript("hardware processor X\ntemperature 0 50 CPU Package\n");
  EXPECT_EQ(lib_.hardware_count(), 1);
}

}  // namespace
