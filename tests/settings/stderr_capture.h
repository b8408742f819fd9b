// Catches what this process writes to its standard error stream, at the file
// descriptor level, so the C runtime's stderr and anything built on it land
// in a file the test reads back.
#pragma once

#include <string>

namespace ostrel::settings::testing {

class StderrCapture {
 public:
  StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;
  ~StderrCapture();

  // Ends the capture and returns the text, each "\r\n" read as "\n" (text
  // mode turns "\n" into "\r\n" on a real console or pipe).
  std::string Finish();

 private:
  std::wstring path_;
  int saved_ = -1;
};

}  // namespace ostrel::settings::testing
