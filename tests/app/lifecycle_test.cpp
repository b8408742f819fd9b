// The program's lifecycle as separate processes: the probe (the lifecycle
// with a stand-in panel) against dummy "OpenHardwareMonitorServer.exe"
// processes, and a second start while the first runs.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whatever include sorting would prefer.
#include <ole2.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "app/process_kill_win.h"
#include "app/process_name.h"
#include "app/process_setup_win.h"
#include "app/runtime_sessions_win.h"
#include "app/single_instance_win.h"
#include "tests/app/test_process_win.h"

namespace ostrel::app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::WaitFor;

std::map<std::string, std::string> ReadReport(const fs::path& file) {
  std::map<std::string, std::string> values;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::ExecutableFolder() / "app-run" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }

  // The dummy copied under `name` into a folder of its own, so that names
  // differing only in case can run side by side.
  ChildProcess StartMonitor(const std::wstring& folder, const std::wstring& name) {
    const fs::path dir = folder_ / folder;
    fs::create_directories(dir);
    const fs::path exe = dir / name;
    ::CopyFileW((testing::BuildFolder() / "sim" / "app" / "OpenHardwareMonitorServer.exe").wstring().c_str(),
                exe.wstring().c_str(), FALSE);
    return ChildProcess(exe, L"");
  }

  fs::path Probe() const { return testing::ExecutableFolder() / "lifecycle_probe.exe"; }

  fs::path folder_;
};

TEST_F(LifecycleTest, FirstInstanceRunsThePanelInOrderAndEndsOneMonitorAtEachEnd) {
  ChildProcess first_monitor = StartMonitor(L"a", L"OpenHardwareMonitorServer.exe");
  ChildProcess second_monitor = StartMonitor(L"b", L"OPENhardwareMONITORserver.EXE");
  ASSERT_TRUE(first_monitor.Started() && second_monitor.Started());
  ASSERT_TRUE(first_monitor.Running() && second_monitor.Running());

  const fs::path report = folder_ / "first.txt";
  ChildProcess program(Probe(), report.wstring());
  ASSERT_TRUE(program.Started());
  HWND panel = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (panel = FindRunningInstanceWindow()) != nullptr; }, 15s));
  wchar_t title[16] = {};
  ::GetWindowTextW(panel, title, 16);
  EXPECT_STREQ(title, L"TEMP");
  DWORD owner = 0;
  ::GetWindowThreadProcessId(panel, &owner);
  EXPECT_EQ(owner, program.Id());

  // Start-up ended exactly one of the two, the way the program ends it.
  const bool first_ended = !first_monitor.Running();
  const bool second_ended = !second_monitor.Running();
  EXPECT_NE(first_ended, second_ended) << "exactly one monitor process ends at start-up";
  const ChildProcess& ended = first_ended ? first_monitor : second_monitor;
  const ChildProcess& survivor = first_ended ? second_monitor : first_monitor;
  EXPECT_EQ(ended.WaitExit(0ms), 0u);

  auto values = ReadReport(report);
  EXPECT_EQ(values["instance"], "1");
  EXPECT_EQ(values["com_before_instance"], "0") << "COM comes up after the library gets its instance";
  EXPECT_EQ(values["com"], "1");
  EXPECT_EQ(values["ole"], "1");
  // Wine 8 treats every process as per-monitor DPI-aware, so whether the
  // probe declared itself cannot be seen here; the rule is tested natively.
  EXPECT_EQ(values.count("dpi_aware"), 1u) << "the panel ran";

  // A second start leaves at once, with 0, and the panel untouched.
  const fs::path second_report = folder_ / "second.txt";
  const auto started = std::chrono::steady_clock::now();
  ChildProcess second(Probe(), second_report.wstring());
  EXPECT_EQ(second.WaitExit(10s), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
  values = ReadReport(second_report);
  EXPECT_EQ(values.count("dpi_aware"), 0u) << "the second instance ran no panel";
  EXPECT_EQ(values["second_instance_found"], std::to_string(reinterpret_cast<std::uintptr_t>(panel)));
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(::IsWindow(panel));
  EXPECT_TRUE(survivor.Running()) << "the second instance ends nothing";

  // Closing the panel ends the run: 1, and the other monitor ended as well.
  ::PostMessageW(panel, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(15s), 1u);
  EXPECT_EQ(ReadReport(report)["panel_closed"], "1");
  EXPECT_EQ(survivor.WaitExit(5s), 0u);
}

TEST(LifecycleParts, KillEndsAMatchInAnyCaseAndReportsWhetherTheListWasRead) {
  const fs::path dir = testing::ExecutableFolder() / "app-run" / "kill";
  fs::create_directories(dir);
  const fs::path exe = dir / L"openhardwaremonitorserver.exe";
  ::CopyFileW((testing::BuildFolder() / "sim" / "app" / "OpenHardwareMonitorServer.exe").wstring().c_str(),
              exe.wstring().c_str(), FALSE);
  ChildProcess monitor(exe, L"");
  ASSERT_TRUE(monitor.Started());
  EXPECT_TRUE(KillProcessByName(L"NoSuchProgram.exe"));
  EXPECT_TRUE(monitor.Running());
  EXPECT_TRUE(KillProcessByName(kOtherMonitorProcess));
  EXPECT_EQ(monitor.WaitExit(5s), 0u);
  EXPECT_TRUE(KillProcessByName(kOtherMonitorProcess)) << "nothing left to end is still a success";
  EXPECT_FALSE(KillProcessByName(nullptr));
}

TEST(LifecycleParts, SingleInstanceAndDpiRuleInThisProcess) {
  const wchar_t* name = L"OstrelAppTestInstance";
  const SingleInstance first = SingleInstance::Claim(name);
  EXPECT_TRUE(first.IsFirst());
  EXPECT_FALSE(SingleInstance::Claim(name).IsFirst());

  // Awareness cannot be taken back, so the large screen goes first. (Wine 8
  // reports every process as aware from the start.)
  EXPECT_FALSE(ApplyDpiRule(1920, 1080));
  EXPECT_TRUE(ApplyDpiRule(1366, 768));
  EXPECT_TRUE(::IsProcessDPIAware());
}

TEST(LifecycleParts, SessionsComeUpAndGoDownBalanced) {
  {
    const GdiplusSession gdiplus;
    EXPECT_TRUE(gdiplus.IsUp());
    const ComOleSession com_ole;
    // Already up on this thread: S_FALSE, balanced at once.
    EXPECT_EQ(::CoInitialize(nullptr), S_FALSE);
    ::CoUninitialize();
    EXPECT_EQ(::OleInitialize(nullptr), S_FALSE);
    ::OleUninitialize();
  }
  // Down again: the next initialisation is the first.
  EXPECT_EQ(::CoInitialize(nullptr), S_OK);
  ::CoUninitialize();
}

TEST(LifecycleParts, DebugPrivilegeIsEnabledInTheToken) {
  ASSERT_TRUE(EnableDebugPrivilege()) << "Wine runs every user as administrator";
  HANDLE raw = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw));
  win::unique_handle token(raw);
  LUID debug{};
  ASSERT_TRUE(::LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &debug));
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
  std::string buffer(size, '\0');
  ASSERT_TRUE(::GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size));
  const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  bool enabled = false;
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const auto& p = privileges->Privileges[i];
    if (p.Luid.LowPart == debug.LowPart && p.Luid.HighPart == debug.HighPart) {
      enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
  }
  EXPECT_TRUE(enabled);
}

}  // namespace
}  // namespace ostrel::app
