// Test executables whose transfers give up on stalled servers end as the
// programs do: after a bounded wait for the jobs still inside WinINet.
#include <gtest/gtest.h>

#include "update/live_jobs.h"

namespace {

class LiveJobsAtExit : public ::testing::Environment {
 public:
  void TearDown() override { ostrel::update::WaitForLiveJobsAtExit(); }
};

// GoogleTest owns the environment.
[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new LiveJobsAtExit);

}  // namespace
