// The console layer's own formatting: decimal numbers, padded to a width, in one piece.
#include <gtest/gtest.h>

#include <climits>
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

}  // namespace
}  // namespace reversi
