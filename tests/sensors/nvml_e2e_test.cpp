// A stand-in nvml.dll beside the library, as the driver's would be found:
// one card, two cards, a failing nvmlInit, a missing entry point.
#include "tests/sensors/tool_copy_win.h"

namespace {

using namespace ostrel::sensors;
namespace fs = std::filesystem;

class NvmlEndToEnd : public sensors_test::ToolCopy {
 protected:
  void SetUp() override {
    ToolCopy::SetUp();
    ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", (base_ / "no-tree").wstring().c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"FAKE_NVML_GPUS", nullptr);
    ::SetEnvironmentVariableW(L"FAKE_NVML_INIT_ERROR", nullptr);
    ToolCopy::TearDown();
  }
  void Install(const char* variant) {
    fs::copy_file(sensors_test::BuildDir() / "sim" / "nvml" / variant / "nvml.dll", app_ / "nvml.dll",
                  fs::copy_options::overwrite_existing);
  }
};

TEST_F(NvmlEndToEnd, OneAndTwoCards) {
  EXPECT_NE(Run(L"sources").find("  nvml                   absent  no nvml.dll (no NVIDIA driver)\n"),
            std::string::npos);
  Install("full");
  HoldBlock();
  std::string out = Run(L"sensors --publish");
  EXPECT_EQ(Field(BlockField::GpuDedicated), 55.0f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), 0.0f);
  EXPECT_EQ(Field(BlockField::Cpu), -1.0f);
  EXPECT_NE(out.find("  [0] nvml     NVIDIA GeForce RTX 3080\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Found Dedicated GPU usage: 40.0%\n"), std::string::npos) << out;
  EXPECT_NE(Run(L"sources").find("  nvml                   found   1 NVIDIA card through nvml.dll\n"),
            std::string::npos);

  ::SetEnvironmentVariableW(L"FAKE_NVML_GPUS", L"2");
  out = Run(L"sensors --publish");
  EXPECT_EQ(Field(BlockField::GpuDedicated), 71.0f);  // the hotter card
  EXPECT_NE(out.find("  [1] nvml     NVIDIA Quadro P2000\n"), std::string::npos) << out;
}

TEST_F(NvmlEndToEnd, FailingInitAndMissingEntryPointLeaveItAbsent) {
  Install("full");
  ::SetEnvironmentVariableW(L"FAKE_NVML_INIT_ERROR", L"3");
  HoldBlock();
  EXPECT_NE(Run(L"sources").find("  nvml                   absent  nvmlInit failed with 3\n"),
            std::string::npos);
  const std::string out = Run(L"sensors --publish");
  EXPECT_EQ(out.find("nvml  "), std::string::npos) << out;
  EXPECT_EQ(Field(BlockField::GpuDedicated), -1.0f);

  ::SetEnvironmentVariableW(L"FAKE_NVML_INIT_ERROR", nullptr);
  Install("notemp");
  EXPECT_NE(
      Run(L"sources").find("  nvml                   absent  nvml.dll lacks nvmlDeviceGetTemperature\n"),
      std::string::npos);
}

}  // namespace
