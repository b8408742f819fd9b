// The loopback server of the transfer tests (http_server.py), started by the
// test run before these tests; it leaves its ports in
// update_http\server.txt beside the test executables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostrel::update::testing {

struct TestServer {
  int port = 0;            // the scripted HTTP server
  int blackhole_port = 0;  // connects hang, as with an unreachable host
  int closed_port = 0;     // connects are refused
};

// Ports are 0 when the file is missing.
TestServer LoadTestServer();

std::wstring Url(int port, std::wstring_view path);

// The n pattern bytes the server sends for /file/n, /nolength/n, /pause/n/...
std::string PatternBytes(std::size_t n);

}  // namespace ostrel::update::testing
