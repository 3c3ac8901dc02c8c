// The built program itself, run as a child process with a script on standard input. The program
// with the stopped clock must write exactly what the in-process harness writes for the same input
// and clock; the shipped program must agree with both wherever no COM turn (and so no clock) is
// involved.
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"
#include "cp932.h"
#include "expected_text.h"
#include "harness.h"

namespace reversi {
namespace {

using testing::ChildOptions;
using testing::Cp932ToUtf8;
using testing::OutputTarget;
using testing::RunProgram;
using testing::RunSession;
using namespace testing::expected;

const std::string Program = REVERSI_PROGRAM;
const std::string FixedClockProgram = REVERSI_FIXED_CLOCK_PROGRAM;
// The second at which reversi_fixed_clock stands still.
constexpr std::uint32_t FixedSecond = 1700000000U;

// Runs `program` on `input` and expects it to end by itself with exit code 0.
std::string RunToTheEnd(const std::string& program, const std::string& input,
                        const ChildOptions& options = {}) {
  const auto result = RunProgram(program, input, options);
  EXPECT_FALSE(result.timedOut) << "input \"" << input << '"';
  EXPECT_TRUE(result.exited) << "input \"" << input << "\", signal " << result.signal;
  EXPECT_EQ(result.exitCode, 0) << "input \"" << input << '"';
  return result.output;
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// COM-vs-COM games, one and two in a run, to the result screen: the binary and the harness agree.
TEST(EndToEnd, ComVsComGamesMatchTheInProcessRun) {
  for (const std::string input : {"3\n99\n", "3\n0\n3\n99\n"}) {
    const std::string output = RunToTheEnd(FixedClockProgram, input);
    EXPECT_EQ(output, RunSession(input, FixedSecond)) << "input \"" << input << '"';
    const std::string text = Cp932ToUtf8(output);
    EXPECT_EQ(text.substr(text.size() - std::string(FinalPrompt).size() - 1),
              std::string(FinalPrompt) + ">");
    EXPECT_EQ(Occurrences(text, GameOverText), Occurrences(input, "3\n"));
    EXPECT_EQ(text.find("<"), std::string::npos) << "undecodable bytes";
  }
}

// A human against the COM (either side), broken off with 99 and shut down.
TEST(EndToEnd, HumanVsComBrokenOffMatchesTheInProcessRun) {
  for (const std::string input : {"1\n34\n99\n99\n", "1\n34\n11\nx\n99\n99\n", "2\n99\n99\n"}) {
    const std::string output = RunToTheEnd(FixedClockProgram, input);
    EXPECT_EQ(output, RunSession(input, FixedSecond)) << "input \"" << input << '"';
    const std::string text = Cp932ToUtf8(output);
    EXPECT_EQ(text.substr(text.size() - std::string(FinalPrompt).size() - 1),
              std::string(FinalPrompt) + ">");
  }
}

// Wherever the input ends, at every prompt, the run ends with "\n" and exit code 0, and never
// waits or spins.
TEST(EndToEnd, EndOfInputEndsTheRun) {
  const std::string menu = std::string(ModeMenu) + ">";
  const std::string blackStart = Screen(BlackTurn, StartRows);
  const std::string firstGame = menu + blackStart + ">" + StartResult() + ">";
  const struct {
    const char* input;
    std::string output;  // empty: only compared with the in-process run
  } cases[] = {
      {"", menu + "\n"},
      {" \n\n", menu + "\n"},
      {"  \n\n", menu + "\n"},
      {"abc", menu + "input error\n>\n"},
      {"-", menu + "input error\n>\n"},
      {"+", menu + "input error\n>\n"},
      {"1\n", menu + blackStart + ">\n"},
      {"1\nabc", menu + blackStart + ">input error\n>\n"},
      {"1\n99\n", firstGame + "\n"},
      {"1\n99\n  ", firstGame + "\n"},
      {"1\n99\n0\n", firstGame + menu + "\n"},
      {"1\n34\n", ""},
      {"2\n", ""},
      {"3\n", ""},
      {"3\n0\n", ""},
  };
  for (const auto& c : cases) {
    const std::string output = RunToTheEnd(FixedClockProgram, c.input);
    EXPECT_EQ(output, RunSession(c.input, FixedSecond)) << "input \"" << c.input << '"';
    EXPECT_EQ(output.back(), '\n') << "input \"" << c.input << '"';
    if (!c.output.empty()) {
      EXPECT_EQ(Cp932ToUtf8(output), c.output) << "input \"" << c.input << '"';
    }
  }
  ChildOptions fromDevNull;
  fromDevNull.inputFromDevNull = true;
  EXPECT_EQ(Cp932ToUtf8(RunToTheEnd(Program, "", fromDevNull)), menu + "\n");
}

// The shipped program reads the real clock, which only the COM's coin toss uses: without COM turns
// it must write what the stopped-clock program and the harness write.
TEST(EndToEnd, ShippedProgramAgreesWhereNoComPlays) {
  for (const std::string input : {
           "",
           "abc",
           "-",
           "4\n-1\nx\n1\n99\n99\n",
           "1\n99\n0\n0\n34\n43\n0\n99\n99\n",
           "0\n34\n33\n32\n22\n56\n31\n11\n13\n99\n99\n",  // black has to pass
           "1\r\n4294967395\r\n99999999999 34\r\n34abc\r\n",
       }) {
    const std::string output = RunToTheEnd(Program, input);
    EXPECT_EQ(output, RunToTheEnd(FixedClockProgram, input)) << "input \"" << input << '"';
    EXPECT_EQ(output, RunSession(input, FixedSecond)) << "input \"" << input << '"';
  }
}

// On a pipe the screen clear is the two ANSI sequences and no title is written at all.
TEST(EndToEnd, PipeGetsTheClearSequenceAndNoTitle) {
  const std::string output = RunToTheEnd(Program, "1\n99\n99\n");
  EXPECT_EQ(Cp932ToUtf8(output),
            std::string(ModeMenu) + ">" + Screen(BlackTurn, StartRows) + ">" + StartResult() + ">");
  EXPECT_EQ(Occurrences(output, "\x1b[H\x1b[2J"), 2);
  EXPECT_EQ(Occurrences(output, "\x1b"), 4);
}

// On a terminal the title comes first, once per run however many games are played. A terminal is
// shown UTF-8, the title included; the screens keep their clears.
TEST(EndToEnd, TerminalGetsTheTitleOncePerRun) {
  const std::string input = "1\n99\n0\n1\n99\n99\n";
  ChildOptions terminal;
  terminal.output = OutputTarget::Terminal;
  if (!RunProgram(Program, "", terminal).started) GTEST_SKIP() << "no pseudo-terminal here";
  const std::string output = RunToTheEnd(Program, input, terminal);
  // The terminal keeps its own title on its title stack first, and gets it back at the end.
  const std::string title = "\x1b[22;0t\x1b]0;Tavimoのリバーシ Ver1.00\x07";
  EXPECT_EQ(output.substr(0, title.size()), title);
  EXPECT_EQ(Occurrences(output, "\x1b]"), 1);
  EXPECT_EQ(Occurrences(output, "\x1b[22;0t"), 1);
  EXPECT_EQ(Occurrences(output, "\x1b[H\x1b[2J"), 4);
  EXPECT_TRUE(output.ends_with("\x1b[23;0t")) << output.substr(output.size() - 40);
  // Input that ends gives the title back too; a pipe gets neither.
  EXPECT_TRUE(RunToTheEnd(Program, "1\n34\n", terminal).ends_with(">\n\x1b[23;0t"));
  const std::string piped = RunToTheEnd(Program, input);
  EXPECT_EQ(piped.find("\x1b[22;0t"), std::string::npos);
  EXPECT_EQ(piped.find("\x1b[23;0t"), std::string::npos);
}

// The prompt reaches a pipe before the program waits: the script is only sent once the mode
// prompt has arrived, so a program that kept it buffered would wait for ever.
TEST(EndToEnd, PromptIsFlushedBeforeTheProgramWaits) {
  ChildOptions held;
  held.holdInputUntil = ">";
  held.timeout = std::chrono::milliseconds(5000);
  const std::string output = RunToTheEnd(Program, "1\n99\n99\n", held);
  EXPECT_EQ(output, RunToTheEnd(Program, "1\n99\n99\n"));
}

}  // namespace
}  // namespace reversi
