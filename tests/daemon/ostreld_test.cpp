// ostreld from outside, as systemd and the user meet it: a fake sysfs tree
// under OSTREL_SYSFS_ROOT, the display simulator and the udev stand-in in
// front of the system's libraries, the block read by name from /dev/shm.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "tests/daemon/daemon_process.h"
#include "tests/daemon/daemon_test_support.h"

namespace ostrel::daemon::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kDisplay[] = "[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\n";
constexpr char kUnplugged[] = "[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\npresent = no\n";

class Ostreld : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::path(OSTREL_TEST_WORK_DIR) / info->name();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    env_.sysfs_root = folder_ / "tree";
    env_.hidsim_config = folder_ / "hidsim.ini";
    env_.hidsim_log = folder_ / "hidsim.log";
    WriteTree(env_.sysfs_root, 45500);
    ReplaceText(env_.hidsim_config, kDisplay);
    // A socket's path holds at most 107 bytes, which a deep build folder
    // exceeds: the sockets live in a short folder of their own.
    char sockets[] = "/tmp/ostreld-test-XXXXXX";
    ASSERT_NE(::mkdtemp(sockets), nullptr);
    sockets_ = sockets;
    ::shm_unlink("/brovan_hardware_mapfile");
  }
  void TearDown() override {
    ::shm_unlink("/brovan_hardware_mapfile");
    std::error_code ignored;
    if (!sockets_.empty()) std::filesystem::remove_all(sockets_, ignored);
  }

  std::unique_ptr<DaemonProcess> Start(std::vector<std::string> args = {},
                                       const std::string& name = "ostreld") {
    return std::make_unique<DaemonProcess>(env_, std::move(args), folder_ / (name + ".err"));
  }
  std::filesystem::path Config(const std::string& text) {
    const auto path = folder_ / "ostreld.conf";
    WriteText(path, text);
    return path;
  }
  std::size_t LogSize() const { return LogLines(env_.hidsim_log).size(); }

  std::filesystem::path folder_;
  std::filesystem::path sockets_;
  DaemonEnvironment env_;
};

// The first report, the digits following the reading, the block as other
// programs see it, systemd's notifications, and a clean stop.
TEST_F(Ostreld, ServesPublishesNotifiesAndStopsCleanly) {
  env_.notify_socket = sockets_ / "notify";
  NotifySocket systemd(env_.notify_socket);
  // Two collections on one hidraw node: one display, one report per step.
  ReplaceText(env_.hidsim_config, std::string(kDisplay) + "interfaces = FF01:1 FF01:1\nshared_path = yes\n");
  auto daemon = Start({"--config", Config("# the automatic choice\ncpu_sensor =\n").string()});

  ASSERT_TRUE(WaitUntil([&] { return !SentDigits(env_.hidsim_log).empty(); }, 5s)) << daemon->Stderr();
  EXPECT_LE(Clock::now() - daemon->Started(), 1500ms) << "first report later than 1.5 s after start";
  EXPECT_EQ(SentDigits(env_.hidsim_log).front(), (std::array<int, 3>{0, 4, 5}));
  EXPECT_EQ(CountLines(env_.hidsim_log, "open"), 1u);

  const auto block = ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_EQ(block->fields[0], 45.5f);
  EXPECT_EQ(block->mode, 0644u);
  EXPECT_EQ(block->size, 632);
  std::string shown;
  EXPECT_EQ(RunOstrelctl("block", shown), 0);
  EXPECT_NE(shown.find("CPU temperature            offset 152     45.5"), std::string::npos) << shown;
  // The reader docs/hardware-block.md shows, built as a user builds it.
  EXPECT_EQ(RunCaptured(OSTREL_TEST_READER, shown), 0);
  EXPECT_EQ(shown, "CPU 45.5\nGPU (dedicated) 0.0\nGPU (integrated) 0.0\nMainboard 0.0\n");

  WriteTree(env_.sysfs_root, 61250);
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto digits = SentDigits(env_.hidsim_log);
        return digits.back() == std::array<int, 3>{0, 6, 1};
      },
      4s));
  EXPECT_EQ(ReadBlock()->fields[0], 61.25f);

  std::string notified;
  for (const auto& message : systemd.Take()) notified += message + "\n";
  EXPECT_NE(notified.find("READY=1"), std::string::npos) << notified;
  EXPECT_NE(notified.find("WATCHDOG=1"), std::string::npos) << notified;
  EXPECT_LT(notified.find("READY=1"), notified.find("WATCHDOG=1"));

  const auto stopping = Clock::now();
  daemon->Signal(SIGTERM);
  const auto code = daemon->WaitExit(3s);
  ASSERT_TRUE(code) << "still running after SIGTERM";
  EXPECT_LE(Clock::now() - stopping, 1000ms);
  EXPECT_EQ(*code, 0) << daemon->Stderr();
  EXPECT_FALSE(std::filesystem::exists(kBlockPath));
  EXPECT_EQ(CountLines(env_.hidsim_log, "close"), 1u);
  EXPECT_EQ(RunOstrelctl("block", shown), 1) << shown;
  EXPECT_EQ(RunCaptured(OSTREL_TEST_READER, shown), 1);
  EXPECT_NE(shown.find("is ostreld running?"), std::string::npos) << shown;
}

// A display that goes and comes back unannounced is found by the rescan
// every 10 s; announced by udev it is served at once.
TEST_F(Ostreld, AReturningDisplayIsServedAgainWithAndWithoutUdev) {
  env_.udev_socket = sockets_ / "udev";
  auto daemon = Start();
  ASSERT_TRUE(WaitUntil([&] { return !SentDigits(env_.hidsim_log).empty(); }, 5s)) << daemon->Stderr();

  const auto unplug_and_wait_for_empty_rescan = [&] {
    const std::size_t from = LogSize();
    ReplaceText(env_.hidsim_config, kUnplugged);
    // The refused report's rescan finds nothing.
    ASSERT_TRUE(WaitUntil(
        [&] {
          const auto lines = LogLines(env_.hidsim_log);
          for (std::size_t i = from; i < lines.size(); ++i) {
            if (lines[i][0] == "enumerate" && lines[i][1] == "0") return true;
          }
          return false;
        },
        8s))
        << daemon->Stderr();
  };

  unplug_and_wait_for_empty_rescan();
  std::this_thread::sleep_for(1s);
  std::size_t from = LogSize();
  auto back = Clock::now();
  ReplaceText(env_.hidsim_config, kDisplay);
  ASSERT_TRUE(WaitUntil([&] { return !SentDigits(env_.hidsim_log, from).empty(); }, 14s)) << daemon->Stderr();
  EXPECT_LE(Clock::now() - back, 11s);

  unplug_and_wait_for_empty_rescan();
  from = LogSize();
  back = Clock::now();
  ReplaceText(env_.hidsim_config, kDisplay);
  SendUdevEvent(env_.udev_socket, "add");
  ASSERT_TRUE(WaitUntil([&] { return !SentDigits(env_.hidsim_log, from).empty(); }, 8s)) << daemon->Stderr();
  EXPECT_LE(Clock::now() - back, 2s);

  daemon->Signal(SIGINT);
  EXPECT_EQ(daemon->WaitExit(3s), std::optional<int>(0));
}

// Configurations it cannot use, a tree whose files vanish mid-pass, and a
// block that belongs to someone else: a clear message and the exit code,
// never a crash or a block written by two.
TEST_F(Ostreld, RefusesBadConfigurationsAndSurvivesAVanishingTree) {
  {
    auto daemon = Start({"--config", Config("cpu_sensor = k10temp/Tctl\n\nfan_speed = 3\n").string()});
    EXPECT_EQ(daemon->WaitExit(5s), std::optional<int>(2));
    EXPECT_NE(daemon->Stderr().find("line 3"), std::string::npos) << daemon->Stderr();
  }
  {
    auto daemon = Start({"--config", Config(std::string(1 << 20, 'x')).string()});
    EXPECT_EQ(daemon->WaitExit(5s), std::optional<int>(2));
    EXPECT_NE(daemon->Stderr().find("larger than"), std::string::npos) << daemon->Stderr();
  }
  {
    auto daemon = Start({"--bogus"});
    EXPECT_EQ(daemon->WaitExit(5s), std::optional<int>(2));
  }
  EXPECT_TRUE(SentDigits(env_.hidsim_log).empty());
  EXPECT_FALSE(std::filesystem::exists(kBlockPath));

  // An unknown sensor is reported and the automatic choice serves; the
  // tree's files vanish and come back under the running passes.
  auto daemon = Start({"--config", Config("cpu_sensor = nct6798/NOSUCH\n").string()});
  ASSERT_TRUE(WaitUntil([&] { return !SentDigits(env_.hidsim_log).empty(); }, 5s)) << daemon->Stderr();
  EXPECT_NE(daemon->Stderr().find("nct6798/NOSUCH"), std::string::npos) << daemon->Stderr();
  EXPECT_EQ(SentDigits(env_.hidsim_log).back(), (std::array<int, 3>{0, 4, 5}));
  const auto chip = env_.sysfs_root / "sys/class/hwmon/hwmon0";
  const auto until = Clock::now() + 3s;
  for (int round = 0; Clock::now() < until; ++round) {
    std::filesystem::remove_all(round % 2 ? chip : chip / "temp1_input");
    std::this_thread::sleep_for(std::chrono::milliseconds(37 + round % 5 * 20));
    WriteTree(env_.sysfs_root, 52000);
    std::this_thread::sleep_for(std::chrono::milliseconds(23));
  }
  ASSERT_TRUE(WaitUntil(
      [&] {
        return SentDigits(env_.hidsim_log).back() == std::array<int, 3>{0, 5, 2};
      },
      8s))
      << daemon->Stderr();
  daemon->Signal(SIGTERM);
  EXPECT_EQ(daemon->WaitExit(3s), std::optional<int>(0)) << daemon->Stderr();
}

TEST_F(Ostreld, OneDaemonPerBlockAndABlockLeftBehindIsTakenOver) {
  // Another user's program holds the name.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t other = ::fork();
  if (other == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    const int fd = ::shm_open("/brovan_hardware_mapfile", O_RDWR | O_CREAT | O_EXCL, 0644);
    if (fd < 0 || ::ftruncate(fd, 632) != 0) ::_exit(4);
    auto* view = static_cast<unsigned char*>(::mmap(nullptr, 632, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    std::memset(view, 0xA5, 632);
    (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the other user's program could not make its block";
  {
    auto refused = Start();
    EXPECT_EQ(refused->WaitExit(5s), std::optional<int>(1));
    EXPECT_NE(refused->Stderr().find("another user"), std::string::npos) << refused->Stderr();
    const auto block = ReadBlock();
    ASSERT_TRUE(block);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &block->fields[0], 4);
    EXPECT_EQ(bits, 0xA5A5A5A5u) << "the other user's block was written";
  }
  ::kill(other, SIGKILL);
  ::waitpid(other, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  ::shm_unlink("/brovan_hardware_mapfile");

  // Two started at once: one serves, the other says so and ends.
  auto first = Start({}, "first");
  auto second = Start({}, "second");
  ASSERT_TRUE(WaitUntil([&] { return first->WaitExit(0ms) || second->WaitExit(0ms); }, 5s));
  DaemonProcess& loser = first->WaitExit(0ms) ? *first : *second;
  DaemonProcess& winner = first->WaitExit(0ms) ? *second : *first;
  EXPECT_EQ(loser.WaitExit(0ms), std::optional<int>(1));
  EXPECT_NE(loser.Stderr().find("already running"), std::string::npos) << loser.Stderr();
  ASSERT_TRUE(WaitUntil([&] { return !SentDigits(env_.hidsim_log).empty(); }, 5s)) << winner.Stderr();
  EXPECT_FALSE(winner.WaitExit(0ms));

  // Killed outright, it leaves the block; the next start takes it over.
  winner.Signal(SIGKILL);
  EXPECT_EQ(winner.WaitExit(3s), std::optional<int>(-SIGKILL));
  EXPECT_TRUE(std::filesystem::exists(kBlockPath));
  const std::size_t from = LogSize();
  auto next = Start({}, "next");
  ASSERT_TRUE(WaitUntil([&] { return !SentDigits(env_.hidsim_log, from).empty(); }, 5s)) << next->Stderr();
  EXPECT_EQ(ReadBlock()->fields[0], 45.5f);
  next->Signal(SIGTERM);
  EXPECT_EQ(next->WaitExit(3s), std::optional<int>(0)) << next->Stderr();
  EXPECT_FALSE(std::filesystem::exists(kBlockPath));
}

}  // namespace
}  // namespace ostrel::daemon::testing
