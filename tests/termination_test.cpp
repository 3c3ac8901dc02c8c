// The real program under hostile standard input and broken standard output: whatever arrives, it
// must end (exit code 0, no signal) as soon as its input ends, and its memory must not grow with
// the length of a line or of a digit run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "child_process.h"

namespace reversi {
namespace {

using testing::ChildOptions;
using testing::ChildResult;
using testing::OutputTarget;
using testing::RunProgram;

const std::string Program = REVERSI_PROGRAM;

constexpr std::size_t MiB = 1024 * 1024;
constexpr std::chrono::milliseconds StreamTimeout{120000};
// A short run of each stream, to compare the long run's memory with.
constexpr std::size_t ShortStream = 1 * MiB;
// Peak memory may differ this much between a short and a long run of the same input.
constexpr long PeakToleranceKiB = 512;
// The clear sequence that starts every screen.
constexpr char Clear[] = "\x1b[H\x1b[2J";

// Input made of `head`, then `pattern` repeated until `total` bytes, then `tail`; produced chunk by
// chunk so that no test holds its whole input.
ChildOptions Streaming(std::string head, std::string pattern, std::size_t total, std::string tail) {
  ChildOptions options;
  options.timeout = StreamTimeout;
  std::size_t produced = 0;
  std::size_t tailSent = 0;
  options.inputGenerator = [=](char* buffer, std::size_t capacity) mutable {
    std::size_t filled = 0;
    for (; filled < capacity && produced < total; ++filled, ++produced) {
      buffer[filled] = produced < head.size() ? head[produced]
                                              : pattern[(produced - head.size()) % pattern.size()];
    }
    for (; filled < capacity && tailSent < tail.size(); ++filled)
      buffer[filled] = tail[tailSent++];
    return filled;
  };
  return options;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What every run must do: end by itself, with exit code 0.
void ExpectCleanEnd(const ChildResult& result) {
  EXPECT_FALSE(result.timedOut) << "still running when the time was up";
  EXPECT_TRUE(result.exited) << "ended by signal " << result.signal;
  EXPECT_EQ(result.exitCode, 0);
}

// The program's peak memory after a long stream must be that after a short one.
void ExpectConstantMemory(const ChildResult& shortRun, const ChildResult& longRun) {
  ASSERT_GT(shortRun.programPeakKiB, 0) << "the short run was never sampled";
  EXPECT_LE(longRun.programPeakKiB, shortRun.programPeakKiB + PeakToleranceKiB);
}

TEST(Termination, StandardInputFromDevNull) {
  ChildOptions options;
  options.inputFromDevNull = true;
  const ChildResult result = RunProgram(Program, "", options);
  ExpectCleanEnd(result);
  EXPECT_TRUE(EndsWith(result.output, ">\n")) << "the mode prompt's line is closed at the end";
}

// Each case streams far more than any buffer of the program holds, then ends the input.
struct StreamCase {
  const char* name;
  const char* head;        // the dialogue up to the point under test
  std::string pattern;     // repeated
  std::size_t total;       // bytes of head plus pattern
  const char* tail;        // after the stream
  const char* lastOutput;  // how the output must end; nullptr: numbers in the stream decide
};

TEST(Termination, HostileStreamsEndWithTheirInputInConstantMemory) {
  std::string allBytes;
  for (int byte = 0; byte < 256; ++byte)
    allBytes += static_cast<char>(byte);
  // Random bytes without a line end, a prime number of them so the repeats do not line up.
  std::string garbage;
  for (unsigned state = 1; garbage.size() < 4093;) {
    state = state * 1103515245U + 12345U;
    const char byte = static_cast<char>(state >> 24);
    if (byte != '\n') garbage += byte;
  }
  const StreamCase cases[] = {
      // Letters at the mode prompt, a line end every 64 bytes: refused line after line.
      {"letter lines", "", std::string(63, 'x') + "\n", 32 * MiB, "", ">\n"},
      // Letters without any line end: one line that is read and thrown away.
      {"one endless line", "0\n", "abcdefghijklmnopqrstuvwxyz", 32 * MiB, "\n99\n99\n", ">"},
      // A number of a million digits: too large, refused with its line.
      {"million digits", "0\n", "1234567890", 1000000 + 2, "\n99\n99\n", ">"},
      // 10 MiB of random bytes on one line at the move prompt.
      {"garbage line", "0\n", garbage, 10 * MiB, "\n", nullptr},
      // NUL and every other byte value, line ends included.
      {"binary bytes", "1\n", allBytes, 8 * MiB, "", nullptr},
      // A human move prompt fed only white space: it waits without asking again.
      {"white space", "0\n", " \t\r\n\v\f", 10 * MiB, "", ">\n"},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildResult shortRun =
        RunProgram(Program, "", Streaming(c.head, c.pattern, ShortStream, c.tail));
    const ChildResult result =
        RunProgram(Program, "", Streaming(c.head, c.pattern, c.total, c.tail));
    ExpectCleanEnd(shortRun);
    ExpectCleanEnd(result);
    ExpectConstantMemory(shortRun, result);
    if (c.lastOutput != nullptr) {
      EXPECT_TRUE(EndsWith(result.output, c.lastOutput));
    }
    std::printf("%-18s %3zu MiB in: peak %ld KiB (after 1 MiB: %ld KiB), %zu bytes out\n", c.name,
                c.total / MiB, result.programPeakKiB, shortRun.programPeakKiB,
                result.output.size());
  }
}

TEST(Termination, WhiteSpaceAtTheMovePromptAsksOnlyOnce) {
  const ChildResult result = RunProgram(Program, "", Streaming("0\n", " \t\r\n\v\f", 4 * MiB, ""));
  ExpectCleanEnd(result);
  const std::size_t screen = result.output.rfind(Clear);
  ASSERT_NE(screen, std::string::npos);
  const std::string afterScreen = result.output.substr(screen);
  EXPECT_EQ(std::count(afterScreen.begin(), afterScreen.end(), '>'), 1);
  EXPECT_EQ(afterScreen.find("input"), std::string::npos);
  EXPECT_TRUE(EndsWith(afterScreen, ">\n"));
}

// Output that cannot be written must not stop the game early nor keep it from ending.
TEST(Termination, BrokenStandardOutput) {
  const OutputTarget targets[] = {OutputTarget::DevFull, OutputTarget::Closed};
  const char* const inputs[] = {
      "3\n0\n3\n0\n2\n0\n",              // whole COM games, then the input ends at the mode prompt
      "0\n34\nabc\n99\n0\n1\n99\n99\n",  // a dialogue that shuts down by itself
  };
  for (OutputTarget target : targets) {
    for (const char* input : inputs) {
      SCOPED_TRACE(input);
      ChildOptions options;
      options.output = target;
      ExpectCleanEnd(RunProgram(Program, input, options));
      ChildOptions shortStream = Streaming("0\n", "no number here\n", ShortStream, "");
      ChildOptions longStream = Streaming("0\n", "no number here\n", 8 * MiB, "");
      shortStream.output = target;
      longStream.output = target;
      const ChildResult shortRun = RunProgram(Program, "", shortStream);
      const ChildResult result = RunProgram(Program, "", longStream);
      ExpectCleanEnd(shortRun);
      ExpectCleanEnd(result);
      ExpectConstantMemory(shortRun, result);
    }
  }
}

}  // namespace
}  // namespace reversi
