// ostrelctl from <build>/bin, as a user runs it, against the real scripted
// library; the block is checked from this process, which created it first
// with other contents (a named section lives only while someone holds it).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/win/unique_any.h"
#include "sensors/hardware_block.h"
#include "tests/app/test_process_win.h"
#include "tests/sensors/build_paths_win.h"

namespace {

using namespace ostrel::sensors;
namespace fs = std::filesystem;

struct Result {
  DWORD exit_code = 0xFFFFFFFF;
  std::string out, err;
};

// Runs bin\ostrelctl.exe. script empty: the variable is removed, so the
// library looks beside itself.
Result RunTool(const std::wstring& arguments, const fs::path& script) {
  ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", script.empty() ? nullptr : script.wstring().c_str());
  const auto run =
      ostrel::app::testing::RunCaptured(sensors_test::BuildDir() / "bin" / "ostrelctl.exe", arguments,
                                        {.limit = std::chrono::seconds(30), .error_apart = true});
  return {run.exit_code, ostrel::app::testing::UnixLineEnds(run.output),
          ostrel::app::testing::UnixLineEnds(run.error)};
}

class OstrelctlSensors : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ = fs::temp_directory_path() / ("ostrel-e2e-" + std::to_string(::GetCurrentProcessId()) + ".txt");
  }
  void TearDown() override { fs::remove(script_); }

  void WriteScript(const std::string& text) {
    std::ofstream(script_, std::ios::binary | std::ios::trunc) << text;
  }

  // The block as another process holds it: every byte 0x5A, then the four
  // fields set to values the pass must replace or keep.
  void HoldBlock() {
    section_.reset(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, kBlockName));
    ASSERT_TRUE(section_);
    ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "a stale block is held elsewhere";
    view_.reset(::MapViewOfFile(section_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(view_);
    std::memset(view_.get(), 0x5A, kBlockSize);
    for (BlockField f : kBlockFields) StoreBlockFloat(view_.get(), f, -1.0f);
  }
  float Field(BlockField f) const { return LoadBlockFloat(view_.get(), f); }

  fs::path script_;
  ostrel::win::unique_handle section_;
  ostrel::win::unique_mapped_view view_;
};

TEST_F(OstrelctlSensors, PassPublishesIntoAnotherProcesssBlock) {
  WriteScript(
      "hardware processor AMD Ryzen 7 5800X\n"
      "temperature 0 64.25 CPU (Tctl/Tdie)\n"
      "temperature 1 58.5 CPU CCD1 (Tdie)\n"
      "load 0 23.45 CPU Total\n"
      "hardware mainboard Nuvoton NCT6798D\n"
      "temperature 0 61 CPU\n"
      "temperature 1 33.5 Motherboard\n"
      "temperature 2 36 Motherboard\n"
      "hardware gpu AMD Radeon RX 6800\n"
      "temperature 0 47 GPU Temperature\n"
      "temperature 1 52.75 GPU Temperature\n"
      "load 0 61.5 GPU Utilization\n");
  HoldBlock();
  const Result r = RunTool(L"sensors --publish", script_);
  ASSERT_EQ(r.exit_code, 0u) << r.out << r.err;

  EXPECT_EQ(Field(BlockField::Cpu), 64.25f);
  EXPECT_EQ(Field(BlockField::GpuDedicated), 52.75f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), 0.0f);
  EXPECT_EQ(Field(BlockField::Mainboard), 33.5f);
  auto* bytes = static_cast<const unsigned char*>(view_.get());
  for (std::size_t i = 0; i < kBlockSize; ++i) {
    const bool field =
        (i >= 152 && i < 156) || (i >= 296 && i < 300) || (i >= 444 && i < 448) || (i >= 584 && i < 588);
    if (!field) {
      ASSERT_EQ(bytes[i], 0x5A) << "byte " << i;
    }
  }

  EXPECT_EQ(r.out.rfind("INIT OK\n"
                        "Sensor: AMD Ryzen 7 5800X, Location: CPU Total, Value: 23.4%, Type: 11\n"
                        "Found CPU usage: 23.4%\n"
                        "Sensor: AMD Radeon RX 6800, Location: GPU Utilization, Value: 61.5%, Type: 13\n"
                        "Found Dedicated GPU usage: 61.5%\n"
                        "\n3 hardware items, 9 readings:\n",
                        0),
            0u)
      << r.out;
  for (const char* line : {
           "  CPU temperature            offset 152     64.2  from [0] \"AMD Ryzen 7 5800X\" temperature "
           "slot 0 \"CPU "
           "(Tctl/Tdie)\" (Tctl/Tdie temperature)\n",
           "  dedicated GPU temperature  offset 296     52.8  from [2] \"AMD Radeon RX 6800\" temperature "
           "slot 1 \"GPU "
           "Temperature\" (dedicated graphics temperature)\n",
           "  integrated GPU temperature offset 444      0.0  set to 0: a dedicated graphics temperature was "
           "found\n",
           "  mainboard temperature      offset 584     33.5  from [1] \"Nuvoton NCT6798D\" temperature slot "
           "1 "
           "\"Motherboard\" (mainboard temperature)\n",
       }) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n---\n" << r.out;
  }
  EXPECT_EQ(r.out.find("created by this command"), std::string::npos);

  const Result block = RunTool(L"block", script_);
  EXPECT_EQ(block.exit_code, 0u);
  EXPECT_NE(block.out.find("  CPU temperature            offset 152     64.2\n"), std::string::npos)
      << block.out;
  EXPECT_NE(block.out.find("  mainboard temperature      offset 584     33.5\n"), std::string::npos)
      << block.out;
}

TEST_F(OstrelctlSensors, FieldsWithoutReadingsKeepTheOtherProcesssValues) {
  WriteScript("hardware processor Intel Core i5\ntemperature 0 50 cpu package\n");
  HoldBlock();
  const Result r = RunTool(L"sensors --publish", script_);
  ASSERT_EQ(r.exit_code, 0u) << r.out << r.err;
  for (BlockField f : kBlockFields) EXPECT_EQ(Field(f), -1.0f);
  EXPECT_NE(r.out.find("offset 152     -1.0  no reading matched: kept its value\n"), std::string::npos)
      << r.out;
}

TEST_F(OstrelctlSensors, BadScriptRunsWithNoHardware) {
  WriteScript("hardware processor X\ntemperature 600 50 CPU Package\n");
  HoldBlock();
  const Result r = RunTool(L"sensors", script_);
  ASSERT_EQ(r.exit_code, 0u);
  EXPECT_EQ(r.out,
            "The hardware block \"brovan_hardware_mapfile\" exists (is Ostrel running?): reading without "
            "publishing (--publish writes into it).\n"
            "INIT OK\n\n0 hardware items, 0 readings:\n\n"
            "The sensor library reports no hardware: nothing was published.\n");
  EXPECT_NE(r.err.find(": line 2: bad slot \"600\" (0 to 511); no hardware\n"), std::string::npos) << r.err;
  for (BlockField f : kBlockFields) EXPECT_EQ(Field(f), -1.0f);
}

TEST_F(OstrelctlSensors, SampleScriptBesideTheLibrary) {
  // bin carries no script (it runs on the machine's sensors): a copy of the
  // tool and the library with the sample beside them.
  const fs::path app =
      fs::temp_directory_path() / ("ostrel-sample-" + std::to_string(::GetCurrentProcessId()));
  fs::remove_all(app);
  fs::create_directories(app);
  const fs::path bin = sensors_test::BuildDir() / "bin";
  for (const char* file : {"ostrelctl.exe", "api-ms-win-core-sysinfo-825-32.dll", "hidapi.dll"}) {
    fs::copy_file(bin / file, app / file);
  }
  fs::copy_file(sensors_test::BuildDir() / "sample" / "sensors.txt", app / "sensors.txt");
  ::SetEnvironmentVariableW(L"OSTREL_SENSOR_SCRIPT", nullptr);
  const auto run = ostrel::app::testing::RunCaptured(
      app / "ostrelctl.exe", L"sensors", {.limit = std::chrono::seconds(30), .error_apart = true});
  const Result r{run.exit_code, ostrel::app::testing::UnixLineEnds(run.output),
                 ostrel::app::testing::UnixLineEnds(run.error)};
  std::error_code ignored;
  fs::remove_all(app, ignored);
  ASSERT_EQ(r.exit_code, 0u) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_NE(r.out.find("\n12 hardware items, "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(created by this command: it goes when the command ends)"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("from [0] \"Intel Core i7-12700K\" temperature slot 0 \"CPU Package\""),
            std::string::npos);
}

TEST_F(OstrelctlSensors, BlockCommandWithoutABlock) {
  const Result r = RunTool(L"block", {});
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_EQ(r.err, "ostrelctl: no hardware block \"brovan_hardware_mapfile\" exists (is Ostrel running?)\n");
}

TEST_F(OstrelctlSensors, MissingLibrary) {
  const Result r = RunTool(L"sensors --library no-such-library.dll", {});
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_EQ(r.out, "CANNOT LOAD DLL\n\nThe sensor library is not bound: nothing was read or published.\n");
}

// Beside a running program (the block exists) the command reports what the
// pass would write and leaves every byte of the live block as it was; input
// it quotes never reaches the terminal raw.
TEST_F(OstrelctlSensors, TheLiveBlockIsLeftAlone) {
  WriteScript("hardware processor AMD Ryzen 7 5800X\ntemperature 0 64.25 CPU (Tctl/Tdie)\n");
  HoldBlock();
  const Result r = RunTool(L"sensors", script_);
  ASSERT_EQ(r.exit_code, 0u) << r.out << r.err;
  for (BlockField f : kBlockFields) EXPECT_EQ(Field(f), -1.0f);
  auto* bytes = static_cast<const unsigned char*>(view_.get());
  for (std::size_t i = 0; i < kBlockSize; ++i) {
    const bool field =
        (i >= 152 && i < 156) || (i >= 296 && i < 300) || (i >= 444 && i < 448) || (i >= 584 && i < 588);
    if (!field) {
      ASSERT_EQ(bytes[i], 0x5A) << "byte " << i;
    }
  }
  EXPECT_NE(r.out.find("reading without publishing (--publish writes into it)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("the pass would have written:"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("offset 152     64.2  from [0] \"AMD Ryzen 7 5800X\""), std::string::npos) << r.out;

  WriteScript("hardware processor \x1B[2J\x1B]0;owned\x07\n");
  const Result hostile = RunTool(L"sensors \"\x1B[31mred\"", script_);
  EXPECT_EQ(hostile.exit_code, 2u);
  EXPECT_EQ(hostile.err, "ostrelctl sensors: unknown argument '\\x1B[31mred'\n");
  const Result escaped = RunTool(L"sensors", script_);
  EXPECT_NE(escaped.err.find(": line 1: control byte 0x1B at byte 20; no hardware\n"), std::string::npos)
      << escaped.err;
  EXPECT_EQ(escaped.out.find('\x1B'), std::string::npos);
  EXPECT_EQ(escaped.err.find('\x1B'), std::string::npos);
}

}  // namespace
