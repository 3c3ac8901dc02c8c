// The built program itself, run as a child process with a script on standard input.
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"

namespace reversi {
namespace {

using testing::RunProgram;

const std::string Program = REVERSI_PROGRAM;
const std::string FixedClockProgram = REVERSI_FIXED_CLOCK_PROGRAM;

TEST(EndToEnd, ComVsComGameToTheResultScreen) {
  const auto result = RunProgram(FixedClockProgram, "3\n99\n");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.output.find("*\x81u"
                               "0+Enter"),
            std::string::npos);
}

}  // namespace
}  // namespace reversi
