#include "tests/update/test_server.h"

#include <fstream>
#include <sstream>

namespace ostrel::update::testing {

TestServer LoadTestServer() {
  TestServer server;
  std::ifstream in("update_http\\server.txt");
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::stoi(line.substr(eq + 1));
    if (key == "port") server.port = value;
    if (key == "blackhole_port") server.blackhole_port = value;
    if (key == "closed_port") server.closed_port = value;
  }
  return server;
}

std::wstring Url(int port, std::wstring_view path) {
  return L"http://127.0.0.1:" + std::to_wstring(port) + std::wstring(path);
}

std::string PatternBytes(std::size_t n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((7 * i + 3) % 251);
  return bytes;
}

}  // namespace ostrel::update::testing
