// The worker's update commands against the loopback update server: which
// results reach the main window, which installs start a program, and that
// nothing is started from a package that did not unpack whole.
#include "update/update_service.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/worker/console_worker.h"
#include "tests/update/update_test_env.h"
#include "update/admin_folder.h"
#include "update/folder_access.h"
#include "update/same_path.h"

namespace ostrel::update {
namespace {

using namespace std::chrono_literals;
using device::WorkerTask;
using testing::CaseOrigin;
using testing::FreshFolder;

// Stands in for the main window: a message-only window whose queue holds
// what the service posted.
class TestWindow {
 public:
  TestWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = ::DefWindowProcW;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"OstrelUpdateTestWindow";
    ::RegisterClassW(&window_class);
    window_ = ::CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                window_class.hInstance, nullptr);
  }
  ~TestWindow() { ::DestroyWindow(window_); }
  HWND get() const { return window_; }

  // (wParam, lParam) of every message of that kind waiting, oldest first.
  std::vector<std::pair<WPARAM, LPARAM>> Take(UINT message) const {
    std::vector<std::pair<WPARAM, LPARAM>> got;
    MSG msg;
    while (::PeekMessageW(&msg, window_, message, message, PM_REMOVE))
      got.emplace_back(msg.wParam, msg.lParam);
    return got;
  }

 private:
  HWND window_ = nullptr;
};

struct Recorder {
  std::vector<std::wstring> started;
  int ended = 0;
  // At the start: whether the program could be opened for writing, deleted
  // or renamed by anyone (it must be held against all three).
  bool open_to_change = false;
};

// Tries what a process racing the start would try.
bool CanChange(const std::wstring& program) {
  const HANDLE writer =
      ::CreateFileW(program.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (writer != INVALID_HANDLE_VALUE) {
    ::CloseHandle(writer);
    return true;
  }
  if (::DeleteFileW(program.c_str())) return true;
  const std::wstring aside = program + L".moved";
  if (::MoveFileW(program.c_str(), aside.c_str())) {
    ::MoveFileW(aside.c_str(), program.c_str());
    return true;
  }
  return false;
}

UpdateHost TestHost(const TestWindow& window, const std::string& origin_case,
                    std::optional<std::uint16_t> device, Recorder& recorder,
                    const std::filesystem::path& data = {}) {
  UpdateHost host;
  host.window = window.get();
  host.origin = CaseOrigin(origin_case);
  host.data_folder = data.empty() ? std::wstring() : data.wstring() + L"\\";
  host.query_firmware = [device] { return device; };
  host.start_program = [&recorder](const std::wstring& program) {
    recorder.started.push_back(program);
    recorder.open_to_change = recorder.open_to_change || CanChange(program);
    return true;
  };
  host.end_process = [&recorder] { ++recorder.ended; };
  return host;
}

using Posted = std::vector<std::pair<WPARAM, LPARAM>>;

class UpdateChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::LoadUpdateServer().port == 0) GTEST_SKIP() << "update server not running";
  }
  // What each of the four checks posts, in the order 3, 5, 4, 6.
  std::vector<Posted> RunChecks(const std::string& origin_case, std::optional<std::uint16_t> device,
                                UpdateService** keep = nullptr) {
    Recorder recorder;
    service_.emplace(TestHost(window_, origin_case, device, recorder));
    std::vector<Posted> posted;
    for (WorkerTask task : {WorkerTask::CheckSoftwareNow, WorkerTask::CheckSoftwareAtStart,
                            WorkerTask::CheckFirmwareNow, WorkerTask::CheckFirmwareAtStart}) {
      service_->RunUpdateTask(task);
      posted.push_back(window_.Take(MSG_UPDATE_RESULT));
    }
    if (keep) *keep = &*service_;
    EXPECT_TRUE(recorder.started.empty());
    return posted;
  }

  TestWindow window_;
  std::optional<UpdateService> service_;
};

struct CheckCase {
  std::string origin_case;
  std::vector<Posted> posted;       // for the commands 3, 5, 4, 6
  std::wstring software, firmware;  // latest versions kept afterwards
};

TEST_F(UpdateChecks, ReportAsEachCommandAsksAndKeepOnlyUsableVersions) {
  const Posted none;
  const Posted soft_new = {{1, 1}}, soft_same = {{1, 0}}, firm_new = {{2, 1}}, firm_same = {{2, 0}};
  const std::vector<CheckCase> cases = {
      {"newer", {soft_new, soft_new, firm_new, firm_new}, L"1.0.1.2", L"13"},
      {"same", {soft_same, none, firm_same, none}, L"1.0.1.1", L"12"},
      {"crlf", {soft_new, soft_new, firm_new, firm_new}, L"1.0.1.2", L"13"},
      {"threeparts", {soft_new, soft_new, firm_same, none}, L"1.0.2", L"1"},
      {"tenth", {soft_new, soft_new, firm_same, none}, L"1.0.1.10", L"0"},
      {"older", {soft_same, none, firm_same, none}, L"1.0.1.0", L"11"},
      // Error documents, error pages and bodies with no text are no version.
      {"xml", {none, none, none, none}, L"", L""},
      {"notfound", {none, none, none, none}, L"", L""},
      {"empty", {none, none, none, none}, L"", L""},
      {"zero", {none, none, none, none}, L"", L""},
      {"dotted-firmware", {soft_same, none, none, none}, L"1.0.1.1", L""},
      {"missing-case", {none, none, none, none}, L"", L""},
  };
  for (const auto& c : cases) {
    UpdateService* service = nullptr;
    EXPECT_EQ(RunChecks(c.origin_case, 0x12, &service), c.posted) << c.origin_case;
    EXPECT_EQ(service->LatestVersion(Channel::Software), c.software) << c.origin_case;
    EXPECT_EQ(service->LatestVersion(Channel::Firmware), c.firmware) << c.origin_case;
  }
  // 404 and 500 answers, whatever their body, post nothing.
  for (const char* status : {"/status/404", "/status/500"}) {
    Recorder recorder;
    UpdateHost host = TestHost(window_, "", 0x12, recorder);
    host.origin = testing::ServerOrigin(status);
    UpdateService service(std::move(host));
    for (WorkerTask task : {WorkerTask::CheckSoftwareNow, WorkerTask::CheckFirmwareNow})
      service.RunUpdateTask(task);
    EXPECT_TRUE(window_.Take(MSG_UPDATE_RESULT).empty()) << status;
  }
}

TEST_F(UpdateChecks, FirmwareReadsTheDisplaysHexDigitsAsDecimal) {
  const Posted none;
  // Server 13 against the display's 0x1A, read as 1: newer.
  EXPECT_EQ(RunChecks("newer", 0x1A)[2], (Posted{{2, 1}}));
  // 0x13 reads as 13: not newer.
  EXPECT_EQ(RunChecks("newer", 0x13)[2], (Posted{{2, 0}}));
  // No display answered: the manual check says "latest", start-up says nothing,
  // and the server's version is still kept for the prompt.
  UpdateService* service = nullptr;
  const auto posted = RunChecks("newer", std::nullopt, &service);
  EXPECT_EQ(posted[2], (Posted{{2, 0}}));
  EXPECT_EQ(posted[3], none);
  EXPECT_EQ(service->LatestVersion(Channel::Firmware), L"13");
}

TEST_F(UpdateChecks, GiveUpOnSilentDrippingAndUnreachableServersInBoundedTime) {
  const auto info = testing::LoadUpdateServer();
  const std::vector<std::pair<std::string, std::wstring>> servers = {
      {"stall", testing::ServerOrigin("/stall")},
      {"drip", testing::ServerOrigin("/drip")},
      {"unreachable", L"http://127.0.0.1:" + std::to_wstring(info.blackhole_port)},
  };
  for (const auto& [name, origin] : servers) {
    Recorder recorder;
    UpdateHost host = TestHost(window_, "", 0x12, recorder);
    host.origin = origin;
    // The fetch's own deadline is tested at the program's value with the
    // transfers; here it is short, so the run stays short.
    host.text_fetch_deadline = 2s;
    UpdateService service(std::move(host));
    const auto start = std::chrono::steady_clock::now();
    service.RunUpdateTask(WorkerTask::CheckSoftwareNow);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 1900ms) << name;
    EXPECT_LT(took, 4s) << name;
    EXPECT_TRUE(window_.Take(MSG_UPDATE_RESULT).empty()) << name;
    std::printf("%s: check gave up after %.1f s\n", name.c_str(),
                std::chrono::duration<double>(took).count());
  }
}

class UpdateInstall : public UpdateChecks {
 protected:
  // Check, then install, on a fresh data folder; the package is gone after
  // either outcome.
  Recorder Install(const std::string& origin_case, Channel channel, const std::filesystem::path& data,
                   const std::function<void()>& before_install = {}) {
    Recorder recorder;
    UpdateService service(TestHost(window_, origin_case, 0x12, recorder, data));
    const bool software = channel == Channel::Software;
    service.RunUpdateTask(software ? WorkerTask::CheckSoftwareNow : WorkerTask::CheckFirmwareNow);
    if (before_install) before_install();
    service.RunUpdateTask(software ? WorkerTask::InstallSoftware : WorkerTask::InstallFirmware);
    window_.Take(MSG_UPDATE_RESULT);
    refused_ = window_.Take(MSG_UPDATE_REFUSED);
    for (const auto& item : std::filesystem::directory_iterator(data / "temp")) {
      EXPECT_NE(item.path().extension(), ".zip") << origin_case << ": package left behind";
      EXPECT_NE(item.path().extension(), ".part") << origin_case << ": download left behind";
    }
    return recorder;
  }
  Posted refused_;
};

// Wine 8 keeps no access lists: it answers GetNamedSecurityInfoW with one
// made up from the Unix mode bits (SYSTEM and the owner full control,
// everyone the "other" bits), whatever was set. There the folder's list
// cannot be read back; the list it is made with is checked in
// DownloadFolder instead.
bool PlatformKeepsAccessLists() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
}

// The folder the install made: owned by Administrators, its list exactly
// the one built, nothing inherited.
void ExpectAdminOnly(const std::filesystem::path& folder) {
  if (!PlatformKeepsAccessLists()) return;
  const auto found = ReadFolderSecurity(folder.wstring());
  ASSERT_TRUE(found) << folder;
  EXPECT_TRUE(found->is_directory);
  EXPECT_EQ(found->owner, Trustee::Administrators);
  EXPECT_TRUE(found->has_list);
  EXPECT_TRUE(found->list_protected);
  EXPECT_EQ(found->entries, DownloadFolderEntries());
}

TEST_F(UpdateInstall, StartsTheProgramThisExtractionWroteThenEnds) {
  const auto data = FreshFolder("install-software");
  const Recorder software = Install("newer", Channel::Software, data);
  ASSERT_EQ(software.started.size(), 1u);
  EXPECT_TRUE(SamePath(software.started[0], (data / "temp" / "Software-1.0.1.2.exe").wstring()));
  EXPECT_EQ(software.ended, 1);
  EXPECT_FALSE(software.open_to_change) << "the program could be changed before it started";
  EXPECT_TRUE(refused_.empty());
  ExpectAdminOnly(data / "temp");
  EXPECT_TRUE(std::filesystem::exists(data / "temp" / "docs" / "readme.txt"));
  // The download reported its progress to the window, ending at 100.
  const auto progress = window_.Take(0x69A);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back().second, 100);

  // The firmware package is one Debian's zip wrote.
  const auto firmware_data = FreshFolder("install-firmware");
  const Recorder firmware = Install("newer", Channel::Firmware, firmware_data);
  ASSERT_EQ(firmware.started.size(), 1u);
  EXPECT_TRUE(
      SamePath(firmware.started[0], (firmware_data / "temp" / "FirmwareUpdateTool-13.exe").wstring()));
  EXPECT_EQ(firmware.ended, 1);
  EXPECT_EQ(std::filesystem::file_size(firmware_data / "temp" / "data" / "image.bin"), 256u * 64u);

  // A second install keeps the folder the first one made, and is free to
  // replace what that one left.
  const Recorder again = Install("newer", Channel::Firmware, firmware_data);
  EXPECT_EQ(again.started.size(), 1u);
  std::size_t aside = 0;
  for (const auto& item : std::filesystem::directory_iterator(firmware_data)) {
    aside += item.path().filename().wstring().starts_with(L"temp.aside") ? 1 : 0;
  }
  // Where lists are kept the folder is judged the program's own; under Wine
  // it cannot be, and is moved aside (safe, if untidy).
  EXPECT_EQ(aside, PlatformKeepsAccessLists() ? 0u : 1u);
}

// Sound packages whose signatures are missing, cut short, made with another
// key, made for another package or over other bytes: nothing of them is
// unpacked or started, the package is deleted, the program keeps running
// and the user is told. A program planted where the package's would go,
// in a folder an unelevated process prepared, is never started either.
TEST_F(UpdateInstall, UnverifiedPackagesAreRefusedBeforeAnythingIsUnpacked) {
  struct Refused {
    std::string origin_case;
    std::string version;
  };
  const std::vector<Refused> cases = {
      {"unsigned", "1.0.2.1"},  {"badsig", "1.0.2.2"}, {"otherkey", "1.0.2.3"},
      {"othername", "1.0.2.4"}, {"cutsig", "1.0.2.5"},
  };
  for (const auto& c : cases) {
    const auto data = FreshFolder("refused-" + c.origin_case);
    const auto temp = data / "temp";
    const auto program = temp / ("Software-" + c.version + ".exe");
    std::filesystem::create_directories(temp);
    std::filesystem::copy_file(testing::ExecutableFolder() / "update_probe.exe", program);
    const Recorder recorder = Install(c.origin_case, Channel::Software, data);
    EXPECT_TRUE(recorder.started.empty()) << c.origin_case;
    EXPECT_EQ(recorder.ended, 0) << c.origin_case;
    EXPECT_EQ(refused_, (Posted{{1, 0}})) << c.origin_case;
    // The prepared folder went aside whole; the one made instead is empty.
    EXPECT_FALSE(std::filesystem::exists(program)) << c.origin_case;
    EXPECT_FALSE(std::filesystem::exists(temp / "docs")) << c.origin_case << ": something was unpacked";
    EXPECT_TRUE(std::filesystem::is_empty(temp)) << c.origin_case;
    ExpectAdminOnly(temp);
    std::size_t planted = 0;
    for (const auto& item : std::filesystem::directory_iterator(data)) {
      if (item.path().filename().wstring().starts_with(L"temp.aside-"))
        planted += std::filesystem::exists(item.path() / program.filename()) ? 1 : 0;
    }
    EXPECT_EQ(planted, 1u) << c.origin_case;
  }
}

TEST_F(UpdateInstall, BrokenOrFailedPackagesStartNothingAndKeepRunning) {
  struct Broken {
    std::string origin_case;
    std::string program;
  };
  const std::vector<Broken> cases = {
      {"garbage", "Software-1.0.1.3.exe"},   {"crc", "Software-1.0.1.4.exe"},
      {"noexe", "Software-1.0.1.5.exe"},     {"nopackage", "Software-1.0.1.6.exe"},
      {"truncated", "Software-1.0.1.7.exe"}, {"hostile", "Software-1.0.1.8.exe"},
      {"renamed", "Software-1.0.1.9.exe"},
  };
  for (const auto& c : cases) {
    const auto data = FreshFolder("broken-" + c.origin_case);
    const auto program = data / "temp" / c.program;
    // A program an earlier install left where this one would be.
    const auto plant = [&] {
      std::filesystem::create_directories(program.parent_path());
      std::ofstream(program) << "stale";
    };
    const bool stale = c.origin_case == "noexe" || c.origin_case == "garbage";
    const Recorder recorder =
        Install(c.origin_case, Channel::Software, data, stale ? plant : std::function<void()>{});
    EXPECT_TRUE(recorder.started.empty()) << c.origin_case;
    EXPECT_EQ(recorder.ended, 0) << c.origin_case;
    // Signed as they are: refused by the unpacking, not the signature.
    EXPECT_TRUE(refused_.empty()) << c.origin_case;
    if (c.origin_case == "crc") {
      EXPECT_FALSE(std::filesystem::exists(program)) << "CRC failure kept the file";
    }
  }
  // An install with no checked version fetches nothing and starts nothing.
  Recorder recorder;
  const auto data = FreshFolder("install-unchecked");
  UpdateService service(TestHost(window_, "newer", 0x12, recorder, data));
  service.RunUpdateTask(WorkerTask::InstallSoftware);
  EXPECT_TRUE(recorder.started.empty());
  EXPECT_FALSE(std::filesystem::exists(data / "temp" / "Software-1.0.1.2.exe"));
}

TEST_F(UpdateInstall, RealInstallStartsTheProgramAndEndsWithZero) {
  const auto host = testing::ExecutableFolder() / "update_install_host.exe";
  const auto data = FreshFolder("real-install");
  const auto result = testing::RunChild(L"\"" + host.wstring() + L"\" \"" + data.wstring() + L"\"", 60s,
                                        {{L"OSTREL_UPDATE_SERVER", CaseOrigin("newer")}});
  ASSERT_TRUE(result.exit_code) << "install did not end: " << result.output;
  EXPECT_EQ(*result.exit_code, 0u) << result.output;
  EXPECT_TRUE(testing::WaitForFile(data / "temp" / "Software-1.0.1.2.exe.ran", 20s)) << "program did not run";

  // A broken package: the host keeps running (3) and nothing runs.
  const auto broken = FreshFolder("real-install-broken");
  const auto failed = testing::RunChild(L"\"" + host.wstring() + L"\" \"" + broken.wstring() + L"\"", 60s,
                                        {{L"OSTREL_UPDATE_SERVER", CaseOrigin("crc")}});
  ASSERT_TRUE(failed.exit_code);
  EXPECT_EQ(*failed.exit_code, 3u);
  EXPECT_FALSE(std::filesystem::exists(broken / "temp" / "Software-1.0.1.4.exe.ran"));

  // An unsigned package with a program planted where its own would go:
  // nothing runs, the planted one neither.
  const auto unsigned_data = FreshFolder("real-install-unsigned");
  std::filesystem::create_directories(unsigned_data / "temp");
  std::filesystem::copy_file(testing::ExecutableFolder() / "update_probe.exe",
                             unsigned_data / "temp" / "Software-1.0.2.1.exe");
  const auto refused = testing::RunChild(L"\"" + host.wstring() + L"\" \"" + unsigned_data.wstring() + L"\"",
                                         60s, {{L"OSTREL_UPDATE_SERVER", CaseOrigin("unsigned")}});
  ASSERT_TRUE(refused.exit_code);
  EXPECT_EQ(*refused.exit_code, 3u);
  for (const auto& item : std::filesystem::recursive_directory_iterator(unsigned_data)) {
    EXPECT_NE(item.path().extension(), ".ran") << item.path();
  }
}

}  // namespace
}  // namespace ostrel::update

namespace ostrel::update {
namespace {

// `ostrelctl check-update` against the same server, with the origin from
// the environment or the registry.
class CheckUpdateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::LoadUpdateServer().port == 0) GTEST_SKIP() << "update server not running";
  }
  void TearDown() override { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\TEMP", L"update_server"); }

  static testing::ChildResult Run(const std::wstring& arguments, const std::wstring& environment_origin) {
    const auto ostrelctl = testing::ExecutableFolder().parent_path() / "bin" / "ostrelctl.exe";
    std::vector<std::pair<std::wstring, std::wstring>> environment;
    if (!environment_origin.empty()) environment.emplace_back(L"OSTREL_UPDATE_SERVER", environment_origin);
    return testing::RunChild(L"\"" + ostrelctl.wstring() + L"\" check-update " + arguments, 60s, environment);
  }
  static void SetRegistryOrigin(const std::wstring& origin) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\TEMP", L"update_server", REG_SZ, origin.c_str(),
                      static_cast<DWORD>((origin.size() + 1) * sizeof(wchar_t)));
  }
};

TEST_F(CheckUpdateCommand, PrintsTextVersionAndVerdictAndFailsWithoutAVersion) {
  const auto software = Run(L"software", CaseOrigin("newer"));
  ASSERT_TRUE(software.exit_code);
  EXPECT_EQ(*software.exit_code, 0u) << software.output;
  for (const char* part : {"/case/newer/panel-kit/KX4/software/version", "\"1.0.1.2\\n\"",
                           "current version: 1.0.1.1", "verdict: newer version 1.0.1.2"}) {
    EXPECT_NE(software.output.find(part), std::string::npos) << part << "\n" << software.output;
  }
  EXPECT_NE(software.output.find("package signature: verified"), std::string::npos) << software.output;
  const auto unsigned_package = Run(L"software", CaseOrigin("unsigned"));
  EXPECT_EQ(unsigned_package.exit_code, 0u) << unsigned_package.output;
  EXPECT_NE(unsigned_package.output.find("package signature: refused: no signature"), std::string::npos)
      << unsigned_package.output;
  const auto same = Run(L"", CaseOrigin("same"));  // software is the default
  EXPECT_EQ(same.exit_code, 0u);
  EXPECT_NE(same.output.find("verdict: up to date"), std::string::npos) << same.output;

  // No display answers here: the firmware check answers "not newer".
  const auto firmware = Run(L"firmware", CaseOrigin("newer"));
  EXPECT_EQ(firmware.exit_code, 0u) << firmware.output;
  EXPECT_NE(firmware.output.find("device version: none"), std::string::npos) << firmware.output;
  EXPECT_NE(firmware.output.find("verdict: up to date, latest is 13"), std::string::npos) << firmware.output;

  for (const char* unusable : {"xml", "notfound", "missing-case"}) {
    const auto result = Run(L"software", CaseOrigin(unusable));
    EXPECT_EQ(result.exit_code, 1u) << unusable;
    EXPECT_NE(result.output.find("no usable version text"), std::string::npos) << result.output;
  }
  EXPECT_EQ(Run(L"hardware", CaseOrigin("newer")).exit_code, 2u);
}

// `ostrelctl verify` on the server's own files: the verdict of the install,
// exit code 1 on every refusal.
TEST_F(CheckUpdateCommand, VerifyGivesTheInstallsVerdict) {
  const auto ostrelctl = testing::ExecutableFolder().parent_path() / "bin" / "ostrelctl.exe";
  const auto docroot = testing::UpdateServerState() / "docroot";
  const auto verify = [&](const std::string& origin_case, const std::string& version,
                          const std::wstring& signature = {}) {
    const auto package =
        docroot / origin_case / "panel-kit" / "KX4" / "software" / ("Software-" + version + ".zip");
    std::wstring line = L"\"" + ostrelctl.wstring() + L"\" verify \"" + package.wstring() + L"\"";
    if (!signature.empty()) line += L" \"" + signature + L"\"";
    return testing::RunChild(line, 60s);
  };
  const struct {
    std::string origin_case, version, verdict;
  } cases[] = {
      {"newer", "1.0.1.2", "verdict: verified"},
      {"unsigned", "1.0.2.1", "verdict: refused: no signature"},
      {"badsig", "1.0.2.2", "verdict: refused: signature does not verify"},
      {"otherkey", "1.0.2.3", "verdict: refused: signed with another key"},
      {"othername", "1.0.2.4", "verdict: refused: signature made for another file"},
      {"cutsig", "1.0.2.5", "verdict: refused: signature file unreadable"},
  };
  for (const auto& c : cases) {
    const auto result = verify(c.origin_case, c.version);
    ASSERT_TRUE(result.exit_code) << c.origin_case;
    EXPECT_EQ(*result.exit_code, c.origin_case == "newer" ? 0u : 1u) << result.output;
    EXPECT_NE(result.output.find(c.verdict), std::string::npos) << result.output;
  }
  // A signature named on the command line: the firmware package's, made
  // for another file.
  const auto firmware_signature =
      docroot / "newer" / "panel-kit" / "KX4" / "firmware" / "FirmwareUpdateTool-13.zip.minisig";
  const auto other = verify("newer", "1.0.1.2", firmware_signature.wstring());
  EXPECT_EQ(other.exit_code, 1u) << other.output;
  EXPECT_NE(other.output.find("another file"), std::string::npos) << other.output;
  EXPECT_EQ(verify("nopackage", "1.0.1.6").exit_code, 1u);
}

TEST_F(CheckUpdateCommand, TheEnvironmentOverridesTheRegistryWhichOverridesTheBuild) {
  // The built-in origin does not resolve: without either the check fails.
  EXPECT_EQ(Run(L"software", L"").exit_code, 1u);
  SetRegistryOrigin(CaseOrigin("newer"));
  const auto registry = Run(L"software", L"");
  EXPECT_EQ(registry.exit_code, 0u) << registry.output;
  EXPECT_NE(registry.output.find("/case/newer/"), std::string::npos) << registry.output;
  const auto environment = Run(L"software", CaseOrigin("same"));
  EXPECT_NE(environment.output.find("/case/same/"), std::string::npos) << environment.output;
  // An unusable environment value is passed over.
  const auto unusable = Run(L"software", L"not a url");
  EXPECT_NE(unusable.output.find("/case/newer/"), std::string::npos) << unusable.output;
}

}  // namespace
}  // namespace ostrel::update

namespace ostrel::update {
namespace {

// The service behind the worker thread, as the main dialog will wire it:
// the start-up commands 5, 1, 6 answer before the first update step, and a
// command posted later is answered in turn.
TEST_F(UpdateChecks, WorkerRunsTheStartUpChecksAndLaterCommands) {
  Recorder recorder;
  UpdateService service(TestHost(window_, "newer", 0x12, recorder));
  device::DeviceWorker worker("no-such-sensor-library.dll");
  worker.Work().SetUpdateTasks(&service);
  worker.StartWorker();
  const auto wait_for = [this](std::size_t count) {
    Posted got;
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
      for (const auto& p : window_.Take(MSG_UPDATE_RESULT)) got.push_back(p);
      ::Sleep(20);
    }
    return got;
  };
  EXPECT_EQ(wait_for(2), (Posted{{1, 1}, {2, 1}}));
  worker.PostTask(static_cast<std::int32_t>(WorkerTask::CheckFirmwareNow));
  worker.PostTask(static_cast<std::int32_t>(WorkerTask::CheckSoftwareNow));
  EXPECT_EQ(wait_for(2), (Posted{{2, 1}, {1, 1}}));
  worker.StopWorker();
  EXPECT_TRUE(recorder.started.empty());
}

}  // namespace
}  // namespace ostrel::update

namespace ostrel::update {
namespace {

// The download folder is made with the program's list from its first
// moment, held against renaming and deletion while an install works in it,
// and a folder of that name someone else prepared is moved aside whole.
TEST(DownloadFolder, IsMadeForAdministratorsOnlyAndAnyOtherIsMovedAside) {
  const auto built = DescribeDownloadFolderSecurity();
  ASSERT_TRUE(built);
  EXPECT_EQ(built->owner, Trustee::Administrators);
  EXPECT_TRUE(built->has_list);
  EXPECT_TRUE(built->list_protected);
  EXPECT_EQ(built->entries, DownloadFolderEntries());
  EXPECT_EQ(JudgeExistingFolder(*built), FolderDecision::Keep);

  const auto base = FreshFolder("download-folder");
  const auto folder = base / "temp";
  {
    const AdminFolder made = HoldAdminOnlyFolder(folder.wstring() + L"\\");
    ASSERT_TRUE(made.handle) << made.refusal;
    EXPECT_TRUE(made.moved_to.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(::MoveFileW(folder.c_str(), (base / "swapped").c_str())) << "renamed while held";
    EXPECT_FALSE(::RemoveDirectoryW(folder.c_str())) << "removed while held";
    if (PlatformKeepsAccessLists()) {
      const auto named = ReadFolderSecurity(folder.wstring());
      ASSERT_TRUE(named);
      EXPECT_EQ(named->entries, DownloadFolderEntries());
      EXPECT_EQ(named->owner, Trustee::Administrators);
      EXPECT_TRUE(named->list_protected);
    } else {
      std::printf("Wine keeps no access lists: the folder's own list is not read back\n");
    }
  }

  // A folder the user made, with a program in it and the user's inherited
  // list: never written into, moved aside with what it holds.
  const auto prepared = FreshFolder("download-folder-prepared");
  std::filesystem::create_directories(prepared / "temp");
  std::ofstream(prepared / "temp" / "Software-9.exe") << "planted";
  const AdminFolder fresh = HoldAdminOnlyFolder((prepared / "temp").wstring());
  ASSERT_TRUE(fresh.handle) << fresh.refusal;
  ASSERT_FALSE(fresh.moved_to.empty());
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(fresh.moved_to) / "Software-9.exe"));
  EXPECT_TRUE(std::filesystem::is_empty(prepared / "temp"));

  // A file where the folder should be goes aside too.
  const auto file_there = FreshFolder("download-folder-file");
  std::ofstream(file_there / "temp") << "not a folder";
  const AdminFolder replaced = HoldAdminOnlyFolder((file_there / "temp").wstring());
  ASSERT_TRUE(replaced.handle) << replaced.refusal;
  EXPECT_TRUE(std::filesystem::is_directory(file_there / "temp"));
  EXPECT_TRUE(std::filesystem::is_regular_file(replaced.moved_to));
}

}  // namespace
}  // namespace ostrel::update
