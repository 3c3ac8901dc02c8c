// The console layer's own formatting (decimal numbers, padded to a width, in one piece) and its
// plain requests on the record file.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "harness.h"
#include "platform/console.h"

namespace reversi {
namespace {

// Board labels and counts are made from numbers when compiling, so the formatter must work there.
constexpr bool FormatsWhenCompiling() {
  char text[platform::MaxNumberLength] = {};
  const int length = platform::FormatNumber(-40, 4, text);
  return length == 4 && text[0] == ' ' && text[1] == '-' && text[2] == '4' && text[3] == '0';
}
static_assert(FormatsWhenCompiling());

TEST(ConsoleTest, NumbersArePaddedToTheirWidth) {
  struct Case {
    int value;
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {0, 0, "0"},
      {7, 2, " 7"},
      {123, 2, "123"},
      {-5, 3, " -5"},
      {INT_MAX, 0, "2147483647"},
      {INT_MIN, 11, "-2147483648"},
      // Wider than any number: the extra blanks go ahead of it.
      {INT_MIN, 14, "   -2147483648"},
      {42, 30, "                            42"},
  };
  for (const Case& c : cases) {
    testing::ResetProcessState();
    platform::WriteNumber(c.value, c.width);
    EXPECT_EQ(testing::TakeOutput(), c.expected) << c.value << " in " << c.width;
  }
}

// The record's requests: a line goes in whole, the head spilled ahead of it first, and the file
// is never truncated. The game builds its "one whole line per game" rule on exactly these.
TEST(ConsoleTest, RecordFileTakesWholeLinesWithTheirKeptHead) {
  const std::string path = ::testing::TempDir() + "reversi-console-record.txt";
  std::ofstream(path, std::ios::binary) << "kept\n";
  const char* reason = "";
  ASSERT_TRUE(platform::OpenRecordFile(path.c_str(), reason)) << reason;
  EXPECT_TRUE(platform::SaveLineHead("d3", 2, reason)) << reason;
  EXPECT_TRUE(platform::SaveLineHead("c5", 2, reason)) << reason;
  EXPECT_TRUE(platform::AppendRecordLine(" 2-5\n", 5, reason)) << reason;
  // A file that cannot be opened is told with a reason, and the open one stays the record.
  EXPECT_FALSE(platform::OpenRecordFile((path + "-missing/x").c_str(), reason));
  EXPECT_STRNE(reason, "");
  // The kept head went with its line: the next line starts afresh.
  EXPECT_TRUE(platform::AppendRecordLine("f5 4-1\n", 7, reason)) << reason;
  // A line given up takes its kept head with it.
  EXPECT_TRUE(platform::SaveLineHead("PAPA", 4, reason)) << reason;
  platform::ForgetLineHead();
  EXPECT_TRUE(platform::AppendRecordLine(" 2-2\n", 5, reason)) << reason;
  platform::CloseRecordFile();
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  EXPECT_EQ(bytes.str(), "kept\nd3c5 2-5\nf5 4-1\n 2-2\n");
  EXPECT_FALSE(platform::AppendRecordLine("x\n", 2, reason));  // none open now
  std::remove(path.c_str());  // where an open file cannot be removed, the temporary folder keeps it
}

}  // namespace
}  // namespace reversi
