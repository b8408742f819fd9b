// The update answers of a running Ostrel.exe against a loopback server of
// the test's own: a newer software version is offered in the YES/NO box; NO
// changes nothing, YES asks the server for the package.
#include <gtest/gtest.h>
#include <winsock2.h>
// After winsock2.h, whatever include sorting would prefer.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/ostrel_run_win.h"

namespace ostrel::ui {
namespace {

using namespace app::testing;

// Answers every GET: the version files with fixed texts, anything else 404.
// Remembers the paths asked for.
class VersionServer {
 public:
  VersionServer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~VersionServer() {
    stop_ = true;
    ::closesocket(listener_);
    thread_.join();
    ::WSACleanup();
  }

  int Port() const { return port_; }
  std::vector<std::string> Paths() const {
    const std::lock_guard lock(mutex_);
    return paths_;
  }

 private:
  void Serve() {
    while (!stop_) {
      const SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char buffer[2048];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, got);
      }
      const auto start = request.find(' ') + 1;
      const std::string path = request.substr(start, request.find(' ', start) - start);
      {
        const std::lock_guard lock(mutex_);
        paths_.push_back(path);
      }
      std::string body;
      std::string status = "200 OK";
      if (path == "/panel-kit/KX4/software/version") {
        body = "1.0.1.2";
      } else if (path == "/panel-kit/KX4/firmware/version") {
        body = "1";
      } else {
        status = "404 Not Found";
      }
      const std::string response = "HTTP/1.1 " + status +
                                   "\r\nContent-Length: " + std::to_string(body.size()) +
                                   "\r\nConnection: close\r\n\r\n" + body;
      ::send(client, response.data(), static_cast<int>(response.size()), 0);
      ::shutdown(client, SD_SEND);
      ::closesocket(client);
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> paths_;
  std::thread thread_;
};

bool Asked(const VersionServer& server, const std::string& suffix) {
  for (const auto& path : server.Paths()) {
    if (path.size() >= suffix.size() &&
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return true;
    }
  }
  return false;
}

TEST(UpdatePrompt, ANewerSoftwareIsOfferedNoKeepsRunningYesFetchesThePackage) {
  ClearSettings();
  VersionServer server;
  OstrelRun run;
  ::SetEnvironmentVariableW(L"OSTREL_UPDATE_SERVER",
                            (L"http://127.0.0.1:" + std::to_wstring(server.Port())).c_str());
  ChildProcess program = run.Start();
  const HWND panel = OstrelRun::WaitForPanel(program);
  ASSERT_NE(panel, nullptr);

  // The start-up check finds 1.0.1.2 and asks; the firmware (1 against the
  // display's 0x10A) is not newer, so nothing more is asked.
  const HWND offer = WaitForMessageBox(program.Id());
  ASSERT_NE(offer, nullptr);
  const Shot asked = GrabWindow(offer);
  ClickInWindow(offer, 260, 175);  // NO
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(offer); }, 10s));
  EXPECT_TRUE(Asked(server, "/software/version"));
  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(Asked(server, "/firmware/version"));
  EXPECT_FALSE(Asked(server, ".zip")) << "NO downloads nothing";
  EXPECT_EQ(FindProcessWindow(program.Id(), L"MessageBox"), nullptr) << "the firmware is not offered";
  const std::size_t before = run.Reports().size();
  EXPECT_TRUE(WaitFor([&] { return run.Reports().size() > before; }, 5s)) << "the panel goes on";

  // Asked again from the menu's command 102; YES queues the install, which
  // asks for the package and, finding none, leaves the program running.
  ::PostMessageW(panel, WM_COMMAND, 102, 0);
  const HWND again = WaitForMessageBox(program.Id());
  ASSERT_NE(again, nullptr);
  const Shot asked_again = GrabWindow(again);
  // Above the buttons: the cursor left on NO makes that button hover.
  EXPECT_EQ(CountDiffering(asked, asked_again, RECT{0, 0, 380, 150}), 0) << "the same question";
  ClickInWindow(again, 120, 175);  // YES
  EXPECT_TRUE(WaitFor([&] { return Asked(server, "/Software-1.0.1.2.zip"); }, 10s));
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(program.Running());

  ::PostMessageW(panel, WM_COMMAND, 100, 0);
  EXPECT_EQ(program.WaitExit(10s), 0u);
  ClearSettings();
}

}  // namespace
}  // namespace ostrel::ui
