// The command line of the built program: what each command line answers, and whole sessions with
// each option, whose output must differ from the plain program's only where the option says.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "board/board.h"
#include "child_process.h"
#include "cp932.h"
#include "expected_text.h"
#include "harness.h"
#include "minimax.h"
#include "platform/console.h"

namespace reversi {
namespace {

using testing::ChildOptions;
using testing::Cp932ToUtf8;
using testing::RunProgram;
using Arguments = std::vector<std::string>;

const std::string Program = REVERSI_PROGRAM;
const std::string FixedClockProgram = REVERSI_FIXED_CLOCK_PROGRAM;

// Two people: a square where nothing can be placed, black has to pass twice, white gives up a
// turn with 0 while it could move, then breaks off.
constexpr char PlayersWithPasses[] = "0\n11\n34\n33\n32\n22\n56\n31\n11\n13\n0\n99\n99\n";
// Three COM games, then a human against the COM, broken off.
constexpr char ComGamesThenHuman[] = "3\n0\n3\n0\n3\n0\n1\n34\n0\n99\n99\n";

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "reversi-options-" + std::to_string(getpid()) + "-" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

struct RunResult {
  int exitCode;
  std::string output;  // decoded from CP932
  std::string errors;
};

// Runs `program` with `arguments` on `input`; it must end by itself.
RunResult RunWith(const Arguments& arguments, const std::string& input,
                  const std::string& program = Program) {
  ChildOptions options;
  options.arguments = arguments;
  options.errorFile = TempPath("stderr");
  const auto result = RunProgram(program, input, options);
  EXPECT_TRUE(result.exited && !result.timedOut) << "signal " << result.signal;
  const std::string errors = ReadFile(options.errorFile);
  std::remove(options.errorFile.c_str());
  return {result.exitCode, Cp932ToUtf8(result.output), errors};
}

std::string Output(const Arguments& arguments, const std::string& input) {
  const RunResult run = RunWith(arguments, input);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.errors, "");
  return run.output;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    lines.push_back(line);
  return lines;
}

// The text without its lines that begin with `lead`.
std::string WithoutLines(const std::string& text, const std::string& lead) {
  std::string kept;
  for (const std::string& line : Lines(text + "\n")) {
    if (line.find(lead) == std::string::npos) kept += line + "\n";
  }
  return kept.substr(0, kept.size() - 1);
}

std::vector<std::string> LinesWith(const std::string& text, const std::string& lead) {
  std::vector<std::string> found;
  for (const std::string& line : Lines(text)) {
    if (const auto at = line.find(lead); at != std::string::npos) found.push_back(line.substr(at));
  }
  return found;
}

// The output from the mode prompt of game `game` (0 for the first) to the end.
std::string FromGame(const std::string& text, int game) {
  auto at = text.find(testing::expected::ModeMenu);
  for (int i = 0; i < game; ++i)
    at = text.find(testing::expected::ModeMenu, at + 1);
  return at == std::string::npos ? "" : text.substr(at);
}

TEST(CommandLine, ExitCodeAndFirstLine) {
  const char* const japaneseMenu = "*ゲームモードを数字で選択してEnterを押してください。";
  const char* const englishMenu = "*Choose the game mode by its number and press Enter.";
  const struct {
    Arguments arguments;
    int exitCode;  // 0: the first line is on standard output, 2: on standard error
    std::string firstLine;
  } cases[] = {
      {{"--help"}, 0, "Usage: reversi [OPTION]..."},
      {{"-h", "--english"}, 0, "Usage: reversi [OPTION]..."},
      {{"--version"}, 0, "reversi 1.00"},
      {{"--english"}, 0, englishMenu},
      {{"--eng", "--hi", "--last"}, 0, englishMenu},
      {{"--delay", "10000", "--seed", "4294967295", "--"}, 0, japaneseMenu},
      {{"--bogus"}, 2, "reversi: unknown option '--bogus'"},
      {{"-x"}, 2, "reversi: unknown option '-x'"},
      {{"--h"}, 2, "reversi: ambiguous option '--h'"},
      {{"--h", "--english"}, 2, "reversi: ambiguous option '--h'"},
      {{"--hi"}, 0, japaneseMenu},
      {{"--hel"}, 0, "Usage: reversi [OPTION]..."},
      {{"--h", "--bogus"}, 2, "reversi: ambiguous option '--h'"},
      {{"--hints=yes"}, 2, "reversi: option '--hints' takes no value"},
      {{"--delay"}, 2, "reversi: option '--delay' needs a value"},
      {{"--delay=x"},
       2,
       "reversi: --delay needs a whole number of milliseconds from 0 to 10000, not 'x'"},
      {{"--delay=-5"},
       2,
       "reversi: --delay needs a whole number of milliseconds from 0 to 10000, not '-5'"},
      {{"--delay=99999"},
       2,
       "reversi: --delay needs a whole number of milliseconds from 0 to 10000, not '99999'"},
      {{"--seed="}, 2, "reversi: --seed needs a whole number from 0 to 4294967295, not ''"},
      {{"--seed=4294967296"},
       2,
       "reversi: --seed needs a whole number from 0 to 4294967295, not '4294967296'"},
      {{"--level=5"}, 0, japaneseMenu},
      {{"--level", "2,5"}, 0, japaneseMenu},
      {{"--level=1,1"}, 0, japaneseMenu},
      {{"--level=0"},
       2,
       "reversi: --level needs one level or two (black,white), each from 1 to 5, not '0'"},
      {{"--level=2,6"},
       2,
       "reversi: --level needs one level or two (black,white), each from 1 to 5, not '2,6'"},
      {{"--level=2,3,4"},
       2,
       "reversi: --level needs one level or two (black,white), each from 1 to 5, not '2,3,4'"},
      {{"--record="}, 2, "reversi: --record needs a file name"},
      {{"--record=/nonexistent/games.txt"},
       2,
       "reversi: cannot open the record file '/nonexistent/games.txt' for appending: No such file "
       "or directory"},
      {{"games.txt"}, 2, "reversi: unexpected argument 'games.txt'"},
      {{"--hints", "extra", "--english"}, 2, "reversi: unexpected argument 'extra'"},
      {{"--help", "--bogus"}, 2, "reversi: unknown option '--bogus'"},
      // The finer points of the GNU conventions, as the program has always read them.
      {{"-hh"}, 0, "Usage: reversi [OPTION]..."},
      {{"--version", "-h"}, 0, "Usage: reversi [OPTION]..."},
      {{"--he"}, 0, "Usage: reversi [OPTION]..."},
      {{"--record=/nonexistent/games.txt", "--version"}, 0, "reversi 1.00"},
      {{"--del=5", "--se", "00004294967295"}, 0, japaneseMenu},
      {{"--s"}, 2, "reversi: ambiguous option '--s'"},
      {{"-hx"}, 2, "reversi: unknown option '-x'"},
      {{"-h="}, 2, "reversi: unknown option '-='"},
      {{"--=x"}, 2, "reversi: unknown option '--=x'"},
      {{"---x"}, 2, "reversi: unknown option '---x'"},
      {{"--hints--"}, 2, "reversi: unknown option '--hints--'"},
      {{"--h=x"}, 2, "reversi: ambiguous option '--h=x'"},
      {{"--hel=x"}, 2, "reversi: option '--help' takes no value"},
      {{"--last-move="}, 2, "reversi: option '--last-move' takes no value"},
      {{"--english", "--seed"}, 2, "reversi: option '--seed' needs a value"},
      {{"--delay", "--seed=1"},
       2,
       "reversi: --delay needs a whole number of milliseconds from 0 to 10000, not '--seed=1'"},
      {{"--d=+1"},
       2,
       "reversi: --delay needs a whole number of milliseconds from 0 to 10000, not '+1'"},
      {{"--delay=18446744073709551626"},
       2,
       "reversi: --delay needs a whole number of milliseconds from 0 to 10000, not "
       "'18446744073709551626'"},
      {{"--seed=1", "--seed=2,3"},
       2,
       "reversi: --seed needs a whole number from 0 to 4294967295, not '2,3'"},
      {{"--record", ""}, 2, "reversi: --record needs a file name"},
      {{"-"}, 2, "reversi: unexpected argument '-'"},
      {{""}, 2, "reversi: unexpected argument ''"},
      {{"--", "--help"}, 2, "reversi: unexpected argument '--help'"},
      {{"--ascii", "--color", "--color=never", "--col=always"}, 0, japaneseMenu},
      {{"--color=bogus"}, 2, "reversi: --color needs one of auto|always|never, not 'bogus'"},
      {{"--color="}, 2, "reversi: --color needs one of auto|always|never, not ''"},
      {{"--color", "always"}, 2, "reversi: unexpected argument 'always'"},
      {{"--ascii=yes"}, 2, "reversi: option '--ascii' takes no value"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunWith(c.arguments, "");
    const std::string& stream = c.exitCode == 0 ? run.output : run.errors;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.firstLine;
    EXPECT_EQ(stream.substr(0, stream.find('\n')), c.firstLine);
    if (c.exitCode == 0) {
      EXPECT_EQ(run.errors, "") << c.firstLine;
    } else {
      EXPECT_EQ(run.output, "") << "no game may start: " << c.firstLine;
      EXPECT_EQ(Lines(run.errors),
                (std::vector<std::string>{c.firstLine, "Try 'reversi --help'."}));
    }
  }
  // The help names every option and the keys of the game; a refused command line creates no file.
  const std::string help = Output({"--help"}, "");
  for (const char* part :
       {"--help",         "--version",      "--english",     "--hints",   "--last-move",
        "--ascii",        "--color[=WHEN]", "--delay=MS",    "--seed=N",  "--record=FILE",
        "--undo",         "--from=MOVES",   "--resume=FILE", "--level=N", "--position=POS",
        "--notation=WAY", "--coach[=N]",    "--gtp",         "--nboard",  "  0 ",
        "  99 ",          "  98 ",          "  97 ",         "11..88"})
    EXPECT_NE(help.find(part), std::string::npos) << part;
  const std::string never = TempPath("never.txt");
  EXPECT_EQ(RunWith({"--record=" + never, "--delay=x"}, "").exitCode, 2);
  EXPECT_NE(access(never.c_str(), F_OK), 0);
}

// The help in full: the manual page is made from it, so a wrong limit or a lost line matters.
TEST(CommandLine, HelpTextInFull) {
  EXPECT_EQ(Output({"--help"}, ""),
            "Usage: reversi [OPTION]...\n"
            "Reversi on the console, against the rule-based computer player (COM) or between\n"
            "two people.\n"
            "\n"
            "  -h, --help          show this help and exit\n"
            "      --version       show the version and exit\n"
            "      --english       show the game's texts in English instead of Japanese\n"
            "      --hints         on a human side's turn, mark each square it may play\n"
            "      --last-move     under each board, list the turns since the previous board\n"
            "      --ascii         draw the discs as O and X, empty squares '.', hints '*'\n"
            "      --color[=WHEN]  draw the board in colour: auto (the default) only on a\n"
            "                      terminal or console, always (into a pipe or file too),\n"
            "                      or never\n"
            "      --notation=WAY  how squares are named: 11 (the default) as row and\n"
            "                      column numbers, a1 as a column letter and a row digit\n"
            "                      (the board labelled so, moves typed and shown as d3)\n"
            "      --delay=MS      wait MS milliseconds (0..10000) after a COM move, a pass\n"
            "                      and the game-over text\n"
            "      --seed=N        seed the COM's coin with N (0..4294967295),\n"
            "                      N+1 in the next game, and so on\n"
            "      --record=FILE   append each game's moves to FILE as a transcript line\n"
            "                      (f5d6c3... 33-31); a game cut short by the end of the\n"
            "                      input, a hang-up or a signal gets its line as it stands\n"
            "      --undo          let a human side type 98 to take back its last turn\n"
            "                      (again and again, as far as the game's first); 98 after\n"
            "                      the result goes back into the game\n"
            "      --from=MOVES    start every game after MOVES, written as in the record\n"
            "                      (f5d6c3, PA for a turn given up)\n"
            "      --resume=FILE   start the first game after the moves of the last game\n"
            "                      recorded in FILE, to go on with it\n"
            "      --position=POS  start every game from the board POS: 64 characters,\n"
            "                      X (black), O (white) or - (empty), from a1 to h8 row\n"
            "                      by row, a blank and the side to move, X or O\n"
            "      --level=N       the COM's strength (1..5): 1, the default, is the game's\n"
            "                      own rule-based COM; 2 to 5 search ahead, deeper as N\n"
            "                      rises; N,M gives the black COM level N, the white M\n"
            "      --coach[=N]     on a human turn, 97 lists every move's score in discs,\n"
            "                      best first, as the search at level N (2..5, 5 if left\n"
            "                      out) finds it; the result adds the three costliest moves\n"
            "      --gtp           be an engine for other programs: answer the Go Text\n"
            "                      Protocol on standard input and output (play, genmove,\n"
            "                      undo, showboard, final_score...) at the --level given\n"
            "      --nboard        be an engine for board programs: answer the NBoard\n"
            "                      protocol (set game, move, go, hint, ping)\n"
            "      --solve=FILE    solve every position of FILE exactly instead of playing:\n"
            "                      one line each, the 64 squares a1..h8 as X, O or - (at\n"
            "                      most 36 of them -), the side to move, then optionally\n"
            "                      the best moves' scores (; a2:+38;); prints each best\n"
            "                      move, its score, nodes and time, and exits 1 if a score\n"
            "                      differs from the file's\n"
            "\n"
            "Keys (type the number, then Enter):\n"
            "  0..3      at the mode prompt: 0 Player vs Player, 1 Player vs COM,\n"
            "            2 COM vs player, 3 COM vs COM\n"
            "  11..88    a move: the row (10..80 down the left) as tens, the column\n"
            "            (1..8 along the top) as units, so 34 is row 3, column 4\n"
            "  0         give up the turn without a move; after the result: a new game\n"
            "  99        break the game off; after the result: shut down\n"
            "  98        with --undo: take back to your previous turn; after the result:\n"
            "            back into the game\n"
            "  97        with --coach: every move's score in discs, best first\n"
            "  a1..h8    with --notation=a1: a move as its column letter and row digit\n");
}

// Help or version into an output that fails: one line on standard error and exit 1, as other
// command-line tools do, instead of a success nobody saw.
TEST(CommandLine, HelpIntoAFailingOutputIsAnError) {
  const struct {
    testing::OutputTarget target;
    const char* option;
    const char* error;
  } cases[] = {
      {testing::OutputTarget::DevFull, "--help", "reversi: write error: No space left on device\n"},
      {testing::OutputTarget::DevFull, "--version",
       "reversi: write error: No space left on device\n"},
      {testing::OutputTarget::Closed, "--help", nullptr},
      {testing::OutputTarget::Closed, "-h", nullptr},
  };
  for (const auto& c : cases) {
    ChildOptions options;
    options.output = c.target;
    options.arguments = {c.option};
    // With descriptor 1 closed, a file opened for standard error would become standard output too.
    const bool closed = c.target == testing::OutputTarget::Closed;
    if (!closed) options.errorFile = TempPath("stderr");
    const auto result = RunProgram(Program, "", options);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1) << c.option;
    if (closed) continue;
    EXPECT_EQ(ReadFile(options.errorFile), c.error) << c.option;
    std::remove(options.errorFile.c_str());
  }
  // Into /dev/null everything goes out.
  ChildOptions discarded;
  discarded.output = testing::OutputTarget::DevNull;
  discarded.arguments = {"--help"};
  EXPECT_EQ(RunProgram(Program, "", discarded).exitCode, 0);
}

// The parser with a table of option shapes the program has no use for yet: a value that may be
// left out, a choice of words and a list of numbers. Each apply step notes what it was given.
std::string appliedValues;

bool NoteColour(const app::OptionValue& value, app::CommandLine&) {
  appliedValues += value.text == nullptr ? "colour " : "colour=" + std::to_string(value.word) + " ";
  return true;
}

bool NoteLevels(const app::OptionValue& value, app::CommandLine&) {
  appliedValues += "levels=";
  for (int i = 0; i < value.count; ++i)
    appliedValues += std::to_string(value.numbers[i]) + (i + 1 < value.count ? "," : " ");
  return true;
}

constexpr app::OptionRow FutureOptions[] = {
    {.letter = 'c',
     .name = "colour",
     .use = app::ValueUse::Optional,
     .kind = app::ValueKind::Word,
     .valueName = "WHEN",
     .needs = "one of",
     .words = "auto|always|never",
     .help = "colour the discs: {}",
     .apply = NoteColour},
    {.name = "levels",
     .use = app::ValueUse::Required,
     .kind = app::ValueKind::WholeNumbers,
     .valueName = "B,W",
     .needs = "one or two whole numbers",
     .smallest = 1,
     .largest = 6,
     .most = 2,
     .help = "the COM's strength ({})\nfor both sides or each",
     .apply = NoteLevels},
};

static_assert(app::IsWellFormed(FutureOptions));

std::string capturedHelp;

void CaptureHelp(const char* bytes, std::size_t count) {
  capturedHelp.append(bytes, count);
}

TEST(CommandLineParser, TakesOptionalValuesWordsAndNumberLists) {
  const struct {
    Arguments arguments;
    std::string applied;  // the apply steps' notes, in order
    std::string refusal;  // the first line on standard error; empty when all was accepted
  } cases[] = {
      {{"--colour"}, "colour ", ""},
      {{"--colour=always"}, "colour=1 ", ""},
      {{"--col=never", "-c"}, "colour=2 colour ", ""},
      {{"-cauto"}, "colour=0 ", ""},
      // A value that may be left out is taken only when attached.
      {{"--colour", "always"}, "colour ", "reversi: unexpected argument 'always'"},
      {{"--colour="}, "", "reversi: --colour needs one of auto|always|never, not ''"},
      {{"--colour=Always"}, "", "reversi: --colour needs one of auto|always|never, not 'Always'"},
      {{"--levels=3"}, "levels=3 ", ""},
      {{"--levels=1,6", "--l", "2,2"}, "levels=1,6 levels=2,2 ", ""},
      {{"--levels=0"},
       "",
       "reversi: --levels needs one or two whole numbers, each from 1 to 6, not '0'"},
      {{"--levels=1,2,3"},
       "",
       "reversi: --levels needs one or two whole numbers, each from 1 to 6, not '1,2,3'"},
      {{"--levels=1,"},
       "",
       "reversi: --levels needs one or two whole numbers, each from 1 to 6, not '1,'"},
      {{"--levels=,1"},
       "",
       "reversi: --levels needs one or two whole numbers, each from 1 to 6, not ',1'"},
      {{"--levels"}, "", "reversi: option '--levels' needs a value"},
  };
  for (const auto& c : cases) {
    std::vector<char*> argv = {const_cast<char*>("reversi")};
    for (const std::string& argument : c.arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    appliedValues.clear();
    app::CommandLine line = {};
    ::testing::internal::CaptureStderr();
    const bool accepted =
        app::ParseArguments(FutureOptions, static_cast<int>(argv.size()), argv.data(), line);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(accepted, c.refusal.empty()) << c.arguments[0];
    EXPECT_EQ(appliedValues, c.applied) << c.arguments[0];
    EXPECT_EQ(errors.substr(0, errors.find('\n')), c.refusal) << c.arguments[0];
  }
  // The column follows the widest long form; the limits are filled in from the rows.
  capturedHelp.clear();
  platform::RedirectOutput(CaptureHelp);
  app::WriteOptionList(FutureOptions);
  platform::RedirectOutput(nullptr);
  EXPECT_EQ(capturedHelp,
            "  -c, --colour[=WHEN]  colour the discs: auto|always|never\n"
            "      --levels=B,W     the COM's strength (1..6)\n"
            "                       for both sides or each\n");
}

TEST(EnglishOption, ChangesEveryJapaneseTextAndNothingElse) {
  const std::pair<const char*, const char*> translations[] = {
      {"*ゲームモードを数字で選択してEnterを押してください。\n",
       "*Choose the game mode by its number and press Enter.\n"},
      {"*Y座標を10の位にX座標を1の位にしてEnterを押してください。\n",
       "*Type the row (Y) as the tens digit, the column (X) as the units, then Enter.\n"},
      {"*中断するときは「99+Enter」を入力してください。\n",
       "*To break off the game, type 99 and Enter.\n"},
      {"ターン:", "Turn: "},
      {"パス\n", "Pass\n"},
      {"ゲーム終了\n", "Game over\n"},
      {"○:黒の勝ち！\n", "○: Black wins!\n"},
      {"●:白の勝ち！\n", "●: White wins!\n"},
      {"引き分け！", "Draw! "},
      {" ピース", " pieces"},
      {"*「0+Enter」でニューゲーム。「99+Enter」でシャットダウン。\n",
       "*Type 0 and Enter for a new game, 99 and Enter to shut down.\n"},
      {"]:そこには置けません！\n", "]:you cannot place a disc there!\n"},
  };
  for (const std::string input : {PlayersWithPasses, ComGamesThenHuman}) {
    std::string expected = Output({"--seed=1"}, input);
    for (const auto& [japanese, english] : translations)
      expected = ReplaceAll(expected, japanese, english);
    EXPECT_EQ(Output({"--english", "--seed=1"}, input), expected) << input;
  }
  // The title too, which only a terminal is sent.
  ChildOptions terminal;
  terminal.output = testing::OutputTarget::Terminal;
  terminal.arguments = {"--english"};
  const auto shown = RunProgram(Program, "", terminal);
  if (shown.started) {
    EXPECT_EQ(shown.output.rfind("\x1b[22;0t\x1b]0;Tavimo's Reversi Ver1.00\x07", 0), 0U);
  }
}

TEST(HintsOption, MarksOnlyTheSquaresAHumanSideMayPlay) {
  for (const std::string input : {PlayersWithPasses, ComGamesThenHuman}) {
    const std::string hinted = Output({"--hints", "--seed=2"}, input);
    EXPECT_EQ(ReplaceAll(hinted, "＊", "・"), Output({"--seed=2"}, input)) << input;
  }
  // COM against a human: the COM's screen has no marks; the human's marks its legal squares.
  const std::string hinted = Output({"--hints"}, "2\n99\n99\n");
  const auto firstScreen = hinted.find(testing::expected::Clear);
  const auto secondScreen = hinted.find(testing::expected::Clear, firstScreen + 1);
  EXPECT_EQ(hinted.substr(0, secondScreen).find("＊"), std::string::npos);
  EXPECT_NE(hinted.find("40・・・●○＊・・\n50・・・○○○・・\n60・・・＊・＊・・\n", secondScreen),
            std::string::npos)
      << hinted;
  EXPECT_EQ(Output({"--hints", "--seed=2"}, "3\n99\n").find("＊"), std::string::npos);
}

TEST(LastMoveOption, ListsTheTurnsSinceThePreviousBoardScreen) {
  const std::string listed = Output({"--last-move"}, PlayersWithPasses);
  EXPECT_EQ(WithoutLines(listed, "直前の手:"), Output({}, PlayersWithPasses));
  // No line on a game's first screen; nothing for the 99 nor for the pass it is followed by.
  const std::vector<std::string> lines = {
      "直前の手:○34", "直前の手:●33", "直前の手:○32",       "直前の手:●22",        "直前の手:○56",
      "直前の手:●31", "直前の手:○11", "直前の手:●13 ○パス", "直前の手:●パス ○パス"};
  EXPECT_EQ(LinesWith(listed, "直前の手:"), lines);
  const std::string english = Output({"--last-move", "--english"}, PlayersWithPasses);
  std::vector<std::string> translated;
  for (const std::string& line : lines)
    translated.push_back(
        ReplaceAll(ReplaceAll(line, "直前の手:", "Last move: "), "パス", " passed"));
  EXPECT_EQ(LinesWith(english, "Last move: "), translated);
  EXPECT_EQ(translated.back(), "Last move: ● passed ○ passed");
  // A COM game lists each COM move under the next board, the last one on the result screen.
  const std::string com = Output({"--last-move", "--seed=3"}, "3\n99\n");
  EXPECT_EQ(WithoutLines(com, "直前の手:"), Output({"--seed=3"}, "3\n99\n"));
  std::string lastComMove;
  for (const std::string& line : Lines(com)) {
    if (line.size() == 3 && line[0] == '>') lastComMove = line.substr(1);
  }
  const auto listedMoves = LinesWith(com, "直前の手:");
  ASSERT_FALSE(listedMoves.empty());
  EXPECT_EQ(listedMoves.back().substr(listedMoves.back().size() - 2), lastComMove);
}

TEST(DelayOption, WaitsAfterTheComTextsOnly) {
  constexpr int Milliseconds = 10;
  const auto start = std::chrono::steady_clock::now();
  const std::string watched = Output({"--delay=10", "--seed=4"}, "3\n99\n");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(watched, Output({"--seed=4"}, "3\n99\n"));
  // One wait per COM turn: every board screen but the result screen.
  int screens = 0;
  for (auto at = watched.find(testing::expected::Clear); at != std::string::npos;
       at = watched.find(testing::expected::Clear, at + 1))
    ++screens;
  EXPECT_GE(elapsed, std::chrono::milliseconds((screens - 1) * Milliseconds));
  // A human turn broken off prints nothing under the board, so even the longest delay never comes.
  const auto humanStart = std::chrono::steady_clock::now();
  Output({"--delay=10000"}, "1\n99\n99\n");
  EXPECT_LT(std::chrono::steady_clock::now() - humanStart, std::chrono::seconds(5));
}

// Level 1 is the game's own COM, byte for byte; a searching level plays other moves, repeats them
// with the same seed, and changes only the moves: a human game it is not asked in stays the same.
TEST(LevelOption, OneIsThePlainComAndEveryLevelRepeatsWithItsSeed) {
  const std::string plain = Output({"--seed=9"}, ComGamesThenHuman);
  EXPECT_EQ(Output({"--level=1", "--seed=9"}, ComGamesThenHuman), plain);
  EXPECT_EQ(Output({"--level=1,1", "--seed=9"}, ComGamesThenHuman), plain);
  EXPECT_EQ(Output({"--level=5"}, PlayersWithPasses), Output({}, PlayersWithPasses));
  for (const char* level : {"--level=2", "--level=3,2", "--level=1,3"}) {
    const std::string searched = Output({level, "--seed=9"}, "3\n99\n");
    EXPECT_NE(searched, Output({"--seed=9"}, "3\n99\n")) << level;
    EXPECT_EQ(Output({level, "--seed=9"}, "3\n99\n"), searched) << level;
  }
}

TEST(SeedOption, RepeatsTheSessionAndCountsUpPerGame) {
  EXPECT_EQ(Output({"--seed=1700000000"}, "3\n99\n"),
            Cp932ToUtf8(RunProgram(FixedClockProgram, "3\n99\n").output));
  const std::string twoGames = Output({"--seed=4294967295"}, "3\n0\n3\n99\n");
  EXPECT_EQ(Output({"--seed=4294967295"}, "3\n0\n3\n99\n"), twoGames);
  EXPECT_EQ(FromGame(twoGames, 1), Output({"--seed=0"}, "3\n99\n"));  // modulo 2^32
}

// Plays a transcript line through the rules from the start position, black first: every move must
// be legal (a side without a move is passed over, as the notation leaves such passes out), "PA"
// only where the mover could have moved, and the counts at the end must be those after the moves.
void ExpectRealTranscript(const std::string& line) {
  SCOPED_TRACE(line);
  const auto space = line.find(' ');
  ASSERT_NE(space, std::string::npos);
  const std::string moves = line.substr(0, space);
  ASSERT_EQ(moves.size() % 2, 0U);
  ResetBoardState();
  InitBoard();
  int side = 0;
  for (std::size_t at = 0; at < moves.size(); at += 2) {
    if (LegalSquares(side) == 0) side = OtherSide(side);
    ASSERT_NE(LegalSquares(side), 0U) << "a move after the game's end, at " << at;
    if (moves.compare(at, 2, "PA") != 0) {
      const int col = moves[at] - 'a';
      const int row = moves[at + 1] - '1';
      ASSERT_TRUE(col >= 0 && col < BoardSize && row >= 0 && row < BoardSize) << at;
      ASSERT_EQ(PlaceDisc(row, col, side), 1) << "illegal move at " << at;
    }
    side = OtherSide(side);
  }
  std::string counts = std::to_string(CountCells(Black));
  counts += '-';
  counts += std::to_string(CountCells(White));
  EXPECT_EQ(line.substr(space + 1), counts);
}

TEST(RecordOption, AppendsARealTranscriptForEveryGameThatEnded) {
  const std::string path = TempPath("games.txt");
  std::ofstream(path) << "kept\n";
  // The last game is still running when the input ends: it is recorded as it stands.
  Output({"--record=" + path, "--seed=5"}, ComGamesThenHuman);
  std::string players = PlayersWithPasses;
  players.resize(players.size() - 3);  // no shut-down after the game: new games follow
  Output({"--record", path}, players + "0\n0\n99\n0\n1\n34\n");
  const auto lines = Lines(ReadFile(path));
  // The game broken off before its first move ("0\n99\n") leaves no line.
  ASSERT_EQ(lines.size(), 7U) << ReadFile(path);
  EXPECT_EQ(lines[0], "kept");
  for (std::size_t i = 1; i < lines.size(); ++i)
    ExpectRealTranscript(lines[i]);
  EXPECT_EQ(lines[4], "d3c5PAf3 2-5");
  EXPECT_EQ(lines[5], "d3c3b3b2f5a3a1c1PA 8-4");
  EXPECT_EQ(lines[6], "d3c5 3-3");
  std::remove(path.c_str());

  // Two people who skip turn after turn fill more than the line's buffer: it still ends up whole.
  std::string skips = "0\n";
  for (int i = 0; i < 3000; ++i)
    skips += "0\n";
  Output({"--record=" + path}, skips + "99\n99\n");
  std::string allSkipped;
  for (int i = 0; i < 3000; ++i)
    allSkipped += "PA";
  EXPECT_EQ(ReadFile(path), allSkipped + " 2-2\n");
  std::remove(path.c_str());

  // A record that cannot be written is reported once, and the games go on as without it.
  const RunResult full = RunWith({"--record=/dev/full", "--seed=5"}, ComGamesThenHuman);
  EXPECT_EQ(full.exitCode, 0);
  EXPECT_EQ(full.output, Output({"--seed=5"}, ComGamesThenHuman));
  EXPECT_EQ(full.errors,
            "reversi: cannot write to the record file '/dev/full': No space left on device\n"
            "reversi: this game is not recorded; play goes on; later failures go unreported\n");
}

TEST(RecordOption, NeverLeavesAPartOfALineBehind) {
  const std::string path = TempPath("partial.txt");
  const std::string before(1000, 'x');
  // A game too long for the line's buffer, whose moves went ahead, is still running when the input
  // ends: its line goes in whole, once.
  std::ofstream(path) << before << '\n';
  std::string skips = "0\n";
  std::string allSkipped;
  for (int i = 0; i < 3000; ++i) {
    skips += "0\n";
    allSkipped += "PA";
  }
  Output({"--record=" + path}, skips);
  EXPECT_TRUE(ReadFile(path) == before + '\n' + allSkipped + " 2-2\n");

  // The file reaches the process's size limit in the middle of a line: the game goes on (no
  // signal ends it) and the file keeps only whole lines.
  std::ofstream(path, std::ios::trunc) << before;
  const RunResult limited =
      RunWith({"-c", "ulimit -f 1 && exec " + Program + " --seed=5 --record=" + path},
              "3\n0\n3\n99\n", "/bin/sh");
  EXPECT_EQ(limited.exitCode, 0);
  EXPECT_EQ(limited.output, Output({"--seed=5"}, "3\n0\n3\n99\n"));
  EXPECT_NE(limited.errors.find("File too large\nreversi: this game is not recorded"),
            std::string::npos)
      << limited.errors;
  EXPECT_EQ(ReadFile(path), before);
  std::remove(path.c_str());
}

// The output with every SGR sequence taken out.
std::string WithoutColors(std::string text) {
  for (auto at = text.find("\x1b["); at != std::string::npos; at = text.find("\x1b[", at)) {
    const auto end = text.find_first_of("mHJ", at);
    if (text[end] != 'm') {
      ++at;
      continue;
    }
    text.erase(at, end + 1 - at);
  }
  return text;
}

TEST(ColorOption, OnlyWhereAskedAndOnlyOnTheBoard) {
  for (const std::string input : {PlayersWithPasses, ComGamesThenHuman}) {
    const std::string plain = Output({"--seed=8", "--hints", "--last-move"}, input);
    // Into a pipe, "auto" (also the option alone) gives no colour.
    for (const char* choice : {"--color", "--color=auto", "--color=never"})
      EXPECT_EQ(Output({"--seed=8", "--hints", "--last-move", choice}, input), plain) << choice;
    const std::string colored =
        Output({"--seed=8", "--hints", "--last-move", "--color=always"}, input);
    EXPECT_NE(colored, plain);
    EXPECT_EQ(WithoutColors(colored), plain);
    // Every line that has a colour is a board row, and ends in the terminal's own colours.
    const std::string prompt = std::string(platform::ColorReset) + ">";
    for (std::string line : Lines(ReplaceAll(colored, testing::expected::Clear, ""))) {
      if (line.find(prompt) == 0) line = line.substr(prompt.size());
      if (line.find("\x1b[") == std::string::npos || line == platform::ColorReset) continue;
      EXPECT_TRUE(line.size() > 2 && line[0] >= '1' && line[0] <= '8' && line[1] == '0') << line;
      EXPECT_EQ(line.substr(line.size() - 4), "\x1b[0m") << line;
    }
  }
  // On a terminal "auto" colours the board.
  ChildOptions terminal;
  terminal.output = testing::OutputTarget::Terminal;
  terminal.arguments = {"--color"};
  const auto shown = RunProgram(Program, "1\n99\n99\n", terminal);
  if (shown.started) {
    EXPECT_NE(shown.output.find("40\x1b[30;42m"), std::string::npos) << shown.output;
  }
  // Ended from outside, the program leaves the terminal's own colours too, on a terminal and
  // into a pipe.
  for (const auto target : {testing::OutputTarget::Terminal, testing::OutputTarget::Pipe}) {
    ChildOptions ended;
    ended.output = target;
    ended.arguments = {target == testing::OutputTarget::Pipe ? "--color=always" : "--color"};
    ended.signal = SIGTERM;
    ended.signalWhen = [](const std::string& output) {
      return output.find(testing::expected::Clear) != std::string::npos && output.ends_with(">");
    };
    const auto result = RunProgram(Program, "1\n", ended);
    if (!result.started) continue;
    EXPECT_EQ(result.signal, SIGTERM);
    const std::string farewell =
        target == testing::OutputTarget::Pipe ? ">\n\x1b[0m" : ">\n\x1b[0m\x1b[23;0t";
    EXPECT_TRUE(result.output.ends_with(farewell)) << Cp932ToUtf8(result.output);
  }
}

// Each CP932 console column of every line of `text`, escape sequences left out.
std::vector<int> ColumnsOfLines(const std::string& cp932) {
  std::vector<int> columns{0};
  for (std::size_t at = 0; at < cp932.size(); ++at) {
    const auto byte = static_cast<unsigned char>(cp932[at]);
    if (byte == '\n') {
      columns.push_back(0);
    } else if (byte == 0x1b) {
      at = cp932.find_first_of("mHJ", at);
    } else if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
      columns.back() += 2;
      ++at;
    } else {
      columns.back() += 1;
    }
  }
  return columns;
}

// A line of 80 columns makes an 80-column console move to the next line before its line end: 79
// at most, in every language, with every option, and in the help.
TEST(EveryLine, FitsAStandardTerminal) {
  constexpr int LongestLine = 79;
  const std::string path = TempPath("width.txt");
  for (const Arguments& languages : {Arguments{}, Arguments{"--english"}}) {
    for (const Arguments& glyphs : {Arguments{}, Arguments{"--ascii"}}) {
      Arguments arguments = {"--hints", "--last-move", "--color=always",
                             "--undo",  "--seed=9",    "--record=" + path};
      arguments.insert(arguments.end(), languages.begin(), languages.end());
      arguments.insert(arguments.end(), glyphs.begin(), glyphs.end());
      for (const std::string input : {PlayersWithPasses, ComGamesThenHuman}) {
        ChildOptions options;
        options.arguments = arguments;
        const std::string output = RunProgram(Program, input, options).output;
        ASSERT_FALSE(output.empty());
        int line = 0;
        for (int columns : ColumnsOfLines(output))
          EXPECT_LE(columns, LongestLine) << "line " << line++ << " of " << arguments.back();
      }
    }
  }
  std::remove(path.c_str());
  const std::string help = Output({"--help"}, "");
  for (const std::string& line : Lines(help))
    EXPECT_LE(line.size(), static_cast<std::size_t>(LongestLine)) << line;
}

// With --english --ascii nothing but ASCII reaches the screen, on every screen of the game.
TEST(AsciiOption, EnglishAndAsciiWriteOnlyAscii) {
  for (const std::string input : {PlayersWithPasses, ComGamesThenHuman}) {
    for (const Arguments& more :
         {Arguments{}, Arguments{"--hints", "--last-move", "--undo"},
          Arguments{"--hints", "--last-move", "--color=always", "--undo"}}) {
      ChildOptions options;
      options.arguments = {"--english", "--ascii", "--seed=10"};
      options.arguments.insert(options.arguments.end(), more.begin(), more.end());
      const std::string output = RunProgram(Program, input, options).output;
      ASSERT_NE(output.find("Turn: O"), std::string::npos);
      for (std::size_t at = 0; at < output.size(); ++at)
        ASSERT_LT(static_cast<unsigned char>(output[at]), 0x80) << "byte " << at;
    }
  }
  // The title too, which only a terminal is sent.
  ChildOptions terminal;
  terminal.output = testing::OutputTarget::Terminal;
  terminal.arguments = {"--english", "--ascii"};
  const auto shown = RunProgram(Program, "3\n99\n", terminal);
  if (shown.started) {
    for (unsigned char byte : shown.output)
      ASSERT_LT(byte, 0x80);
  }
  // Without --english the Japanese texts stay, only the glyphs change.
  const std::string japanese = Output({"--ascii", "--seed=10"}, ComGamesThenHuman);
  EXPECT_NE(japanese.find("ターン:O\n"), std::string::npos);
  EXPECT_NE(japanese.find("\n40. . . X O . . . \n"), std::string::npos);
  for (const char* glyph : {"○", "●", "・", "＊"})
    EXPECT_EQ(japanese.find(glyph), std::string::npos) << glyph;
}

// A moment to end a child at: waiting at the prompt of its screen number `screen` (1 for the
// first), the screens counted by their clears.
auto AtPromptOfScreen(std::size_t screen) {
  return [screen](const std::string& output) {
    std::size_t screens = 0;
    for (auto at = output.find(testing::expected::Clear); at != std::string::npos;
         at = output.find(testing::expected::Clear, at + 1))
      ++screens;
    return screens == screen && output.ends_with(">");
  };
}

// A game in the middle of a human's turn, on a real terminal, ended from outside: its line goes
// in whole as it stands, the process ends by that very signal, and the terminal is left with the
// cursor on a fresh line and its own title given back.
TEST(RecordOption, AGameEndedBySignalLeavesItsWholeLine) {
  const std::string path = TempPath("signalled.txt");
  for (const int signalNumber : {SIGHUP, SIGINT, SIGTERM, SIGQUIT}) {
    SCOPED_TRACE(signalNumber);
    std::remove(path.c_str());
    ChildOptions options;
    options.output = testing::OutputTarget::Terminal;
    options.arguments = {"--record=" + path, "--seed=5"};
    options.signal = signalNumber;
    // Waiting for the human's second move: two human screens and the COM's between them.
    options.signalWhen = AtPromptOfScreen(3);
    const auto result = RunProgram(Program, "1\n34\n", options);
    if (!result.started) GTEST_SKIP() << "no pseudo-terminal here";
    EXPECT_FALSE(result.exited) << "exit code " << result.exitCode;
    EXPECT_EQ(result.signal, signalNumber);
    EXPECT_TRUE(result.output.ends_with(">\n\x1b[23;0t")) << Cp932ToUtf8(result.output);
    const auto lines = Lines(ReadFile(path));
    ASSERT_EQ(lines.size(), 1U) << ReadFile(path);
    ExpectRealTranscript(lines[0]);
    EXPECT_EQ(lines[0].substr(0, 2), "d3");
    EXPECT_EQ(lines[0].find(' '), 4U) << "the human's move and the COM's";
    EXPECT_TRUE(ReadFile(path).ends_with("\n"));
  }
  // A signal at the result screen, after the game's line went in, adds nothing.
  std::remove(path.c_str());
  ChildOptions atResult;
  atResult.arguments = {"--record=" + path, "--seed=5"};
  atResult.signal = SIGTERM;
  // The result screen is the fourth: the human's board, the COM's, the human's again.
  atResult.signalWhen = AtPromptOfScreen(4);
  const auto result = RunProgram(Program, "1\n34\n99\n", atResult);
  EXPECT_EQ(result.signal, SIGTERM);
  const auto lines = Lines(ReadFile(path));
  ASSERT_EQ(lines.size(), 1U) << ReadFile(path);
  EXPECT_EQ(lines[0].find(' '), 4U) << "the human's move and the COM's";
  std::remove(path.c_str());
}

// A COM-vs-COM game reads no input: an ending signal in the middle of it still ends the game
// between two turns, with its line as it stands, and then the process by that signal.
TEST(RecordOption, AComGameEndedBySignalLeavesItsWholeLine) {
  const std::string path = TempPath("signalled-com.txt");
  std::remove(path.c_str());
  ChildOptions options;
  options.arguments = {"--record=" + path, "--seed=5", "--delay=20"};
  options.signal = SIGTERM;
  options.signalWhen = [](const std::string& output) {
    return output.find(">", output.find(testing::expected::Clear,
                                        output.find(testing::expected::Clear) + 1)) !=
           std::string::npos;
  };
  const auto result = RunProgram(Program, "3\n", options);
  EXPECT_FALSE(result.exited) << "exit code " << result.exitCode;
  EXPECT_EQ(result.signal, SIGTERM);
  const auto lines = Lines(ReadFile(path));
  ASSERT_EQ(lines.size(), 1U) << ReadFile(path);
  ExpectRealTranscript(lines[0]);
  EXPECT_LT(lines[0].find(' '), 2U * 10) << "ended a few moves in, not at the game's end";
  std::remove(path.c_str());
}

// What a hang-up or the input's end kept is what --resume goes on with: the continued game is
// appended as a line of its own that begins with the kept moves.
TEST(RecordOption, AGameCutShortIsResumedFromItsLine) {
  const std::string path = TempPath("resumed.txt");
  std::remove(path.c_str());
  ChildOptions hangUp;
  hangUp.output = testing::OutputTarget::Terminal;
  hangUp.arguments = {"--record=" + path, "--seed=5"};
  hangUp.signal = SIGHUP;
  hangUp.signalWhen = [](const std::string& output) {
    return output.ends_with(">") && output.find("\x1b[H\x1b[2J") != output.rfind("\x1b[H\x1b[2J");
  };
  if (!RunProgram(Program, "0\n34\n", hangUp).started) GTEST_SKIP() << "no pseudo-terminal here";
  ASSERT_EQ(ReadFile(path), "d3 4-1\n");
  // Two people go on, one more move each, and the input ends: kept again, the whole game so far.
  Output({"--resume=" + path, "--record=" + path}, "0\n33\n32\n");
  EXPECT_EQ(ReadFile(path), "d3 4-1\nd3c3b3 5-2\n");
  Output({"--resume=" + path, "--record=" + path}, "0\n99\n99\n");
  const auto lines = Lines(ReadFile(path));
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[2], "d3c3b3 5-2");
  // A run in which no move is played (the mode chosen, then the input ends; or 99 at once) adds
  // no line, so the next --resume still goes on with that game.
  for (const char* nothingPlayed : {"0\n", "1\n99\n99\n"}) {
    Output({"--record=" + path}, nothingPlayed);
    EXPECT_EQ(Lines(ReadFile(path)).size(), 3U) << nothingPlayed;
  }
  Output({"--resume=" + path, "--record=" + path}, "0\n0\n");
  EXPECT_EQ(Lines(ReadFile(path)).back(), "d3c3b3PA 5-2");
  std::remove(path.c_str());
}

// Games played at once by several processes into one record file, with lines far longer than the
// line's buffer: every line is whole and real, and each game's line is there exactly once.
TEST(RecordOption, ConcurrentGamesNeverMixTheirLines) {
  constexpr int Processes = 6;
  std::string input;
  for (int game = 0; game < 3; ++game) {
    input += "0\n";
    for (int skip = 0; skip < 2100 + game; ++skip)  // each line over 4 KiB, the buffer's size
      input += "0\n";
    input += "99\n0\n3\n0\n";  // broken off, then a COM game
  }
  input += "1\n34\n";  // the input ends in the middle of a game
  const std::string script = TempPath("input.txt");
  std::ofstream(script) << input;
  const std::string shared = TempPath("shared.txt");
  std::vector<std::string> expected;
  std::string together;
  for (int i = 0; i < Processes; ++i) {
    const std::string own = TempPath("own-" + std::to_string(i) + ".txt");
    const std::string command = Program + " --seed=" + std::to_string(i) + " --record=";
    EXPECT_EQ(
        RunWith({"-c", command + own + " <" + script + " >/dev/null"}, "", "/bin/sh").exitCode, 0);
    for (const std::string& line : Lines(ReadFile(own)))
      expected.push_back(line);
    std::remove(own.c_str());
    together += command + shared + " <" + script + " >/dev/null & ";
  }
  EXPECT_EQ(RunWith({"-c", together + "wait"}, "", "/bin/sh").exitCode, 0);
  std::vector<std::string> lines = Lines(ReadFile(shared));
  ASSERT_EQ(lines.size(), expected.size());
  for (const std::string& line : lines)
    ExpectRealTranscript(line);
  std::sort(lines.begin(), lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(lines == expected);
  std::remove(shared.c_str());
  std::remove(script.c_str());
}

// The lock is what keeps them apart: a line waits while another process holds the file's lock
// (here util-linux flock(1), the same advisory lock, holding it while it writes a line of its own).
TEST(RecordOption, ALineWaitsForTheLockAnotherProcessHolds) {
  if (std::system("command -v flock >/dev/null 2>&1") != 0) GTEST_SKIP() << "no flock(1)";
  const std::string path = TempPath("locked.txt");
  std::remove(path.c_str());
  const std::string script = "( flock 9; sleep 0.5; printf 'held 0-0\\n' >&9 ) 9>>" + path +
                             " & sleep 0.1; printf '0\\n34\\n99\\n99\\n' | " + Program +
                             " --record=" + path + " >/dev/null; wait";
  EXPECT_EQ(RunWith({"-c", script}, "", "/bin/sh").exitCode, 0);
  EXPECT_EQ(ReadFile(path), "held 0-0\nd3 4-1\n");
  std::remove(path.c_str());
}

TEST(CombinedOptions, EachAddsOnlyItsOwnPart) {
  const std::string path = TempPath("combined.txt");
  const std::string input = "2\n0\n0\n3\n99\n";
  const std::string all = Output(
      {"--english", "--hints", "--last-move", "--seed=6", "--record=" + path, "--delay=1"}, input);
  const std::string english = Output({"--english", "--seed=6"}, input);
  EXPECT_EQ(WithoutLines(ReplaceAll(all, "＊", "・"), "Last move: "), english);
  const auto lines = Lines(ReadFile(path));
  ASSERT_EQ(lines.size(), 2U);
  for (const std::string& line : lines)
    ExpectRealTranscript(line);
  std::remove(path.c_str());
}

// A square's SquareCode text ("34") in letters ("d3").
std::string Letters(const std::string& code) {
  return {static_cast<char>('a' + code[1] - '1'), code[0]};
}

// The numeric session's output as --notation=a1 shows it: the coordinate hint, the column and row
// labels, the COM's move lines, the last-move lines and refusals naming a square.
std::string InLetters(const std::string& numeric) {
  const std::regex comMove(R"(^>([1-8][1-8])$)");
  const std::regex rowLabel(R"(^([1-8])0(.*)$)");
  const std::regex lastMove(R"((○|●)([1-8][1-8]))");
  const std::regex refused(R"(input\[([1-8][1-8])\])");
  std::string converted;
  for (std::string line : Lines(numeric)) {
    std::smatch match;
    line = ReplaceAll(
        line, "*Type the row (Y) as the tens digit, the column (X) as the units, then Enter.",
        "*Type the column letter and the row digit (such as d3), then Enter.");
    if (line == "  1 2 3 4 5 6 7 8") {
      line = "  a b c d e f g h";
    } else if (std::regex_match(line, match, comMove)) {
      line = ">" + Letters(match[1]);
    } else if (std::regex_match(line, match, rowLabel)) {
      line = " " + match[1].str() + match[2].str();
    }
    for (const std::regex* pattern : {&lastMove, &refused}) {
      while (std::regex_search(line, match, *pattern)) {
        const std::string code = match[match.size() - 1];
        line.replace(match.position(match.size() - 1), 2, Letters(code));
      }
    }
    converted += line + "\n";
  }
  if (numeric.empty() || numeric.back() != '\n') converted.pop_back();
  return converted;
}

// --notation=a1 changes how squares are written and read and nothing else: a session typed in
// letters shows what the numeric one shows, in letters; numbers are still understood.
TEST(NotationOption, NamesEverySquareInLetters) {
  const std::string numeric =
      Output({"--english", "--last-move", "--seed=8"}, "1\n34\n11\n53\n64\n0\n99\n99\n");
  EXPECT_EQ(Output({"--english", "--last-move", "--seed=8", "--notation=a1"},
                   "1\nd3\na1\nC5\n64\n0\n99\n99\n"),
            InLetters(numeric));
  EXPECT_EQ(Output({"--english", "--seed=8", "--notation=11"}, "3\n99\n"),
            Output({"--english", "--seed=8"}, "3\n99\n"));
  EXPECT_EQ(RunWith({"--notation=b2"}, "").errors,
            "reversi: --notation needs one of 11|a1, not 'b2'\nTry 'reversi --help'.\n");
}

// The position text of the board a picture shows, with `side` to move.
std::string PositionOf(const char* picture, char side) {
  std::string text;
  for (const char* at = picture; *at != '\0'; ++at) {
    if (*at != ' ') text += *at == '.' ? '-' : *at;
  }
  return text + " " + side;
}

// The coach's scores are those of perfect play on a small ending; its review names the costliest
// move with the board to try it again; and it never changes what the COM plays.
TEST(CoachOption, ScoresAsPerfectPlayAndReviewsTheCostliestMove) {
  // Ten empty squares; black to move.
  const char* const ending =
      "..OOOOO. .XXXXXO. XXXOXOOO XXOXOXOO XOXXOXOO XOOXXOXO ..XXXXX. .XXXXXX.";
  const std::string position = PositionOf(ending, 'X');
  const std::string listing =
      Output({"--english", "--position=" + position, "--coach"}, "0\n97\n99\n99\n");
  testing::SetBoard(ending);
  std::map<std::string, int> expected;
  for (SquareSet legal = LegalSquares(0); legal != 0; legal &= legal - 1) {
    const int index = std::countr_zero(legal);
    const BoardState before = ReadBoardState();
    PlaceDisc(index / BoardSize, index % BoardSize, 0);
    expected[std::to_string(SquareCode(index / BoardSize, index % BoardSize))] =
        -testing::SolveByMinimax(1);
    WriteBoardState(before);
  }
  const auto lead = listing.find("*Every move in discs, best first (exact):\n");
  ASSERT_NE(lead, std::string::npos) << listing;
  std::map<std::string, int> listed;
  const std::regex entry(R"(  ([1-8][1-8]):\s*([-+]?\d+))");
  const std::string scores = listing.substr(lead, listing.find('>', lead) - lead);
  for (std::sregex_iterator it(scores.begin(), scores.end(), entry), end; it != end; ++it)
    listed[(*it)[1]] = std::stoi((*it)[2]);
  EXPECT_EQ(listed, expected);

  // Black plays its worst move and then both sides play on; the review names that move.
  const auto worst =
      std::min_element(expected.begin(), expected.end(),
                       [](const auto& a, const auto& b) { return a.second < b.second; });
  const auto best =
      std::max_element(expected.begin(), expected.end(),
                       [](const auto& a, const auto& b) { return a.second < b.second; });
  const std::string review = Output({"--english", "--position=" + position, "--coach"},
                                    "1\n" + worst->first + "\n99\n99\n");
  const int discs = 54;  // on the ending's board, before black's move
  EXPECT_NE(review.find("*Costliest moves (discs lost against the best move):\n ○ move " +
                        std::to_string(discs - 3) + ": " + worst->first + " lost " +
                        std::to_string(best->second - worst->second) + " (best " + best->first +
                        ")\n   --position='" + position + "'\n"),
            std::string::npos)
      << review;

  // With the coach, the COM plays as without it: only the coach's own lines differ.
  const std::string input = "1\n34\n97\n43\n97\n0\n99\n99\n";
  const std::string coached = Output({"--english", "--seed=5", "--level=2", "--coach=2"}, input);
  std::string plain = Output({"--english", "--seed=5", "--level=2"}, "1\n34\n43\n0\n99\n99\n");
  std::string stripped = WithoutLines(coached, "*To see the score of every move");
  stripped = std::regex_replace(stripped, std::regex(R"(\*Every move[^\n]*\n(  [^\n]*\n)+)"), "");
  stripped =
      std::regex_replace(stripped, std::regex(R"(\*(Costliest|No move)[^\n]*\n( [^\n]*\n)*)"), "");
  EXPECT_EQ(ReplaceAll(stripped, ">>", ">"), plain);
}

// Endgame problems with published exact scores (FForum 40-44), each played on along best moves to
// 16 empty squares, where the score for the side to move is the published one, signed for that
// side: given with --position, the engine's exact search must find the same score.
TEST(PositionOption, ExactScoresOfPublishedEndgames) {
  const struct {
    const char* board;
    int score;
  } problems[] = {
      {"OOXXXXXXXOXXXXXXOOXOXOOXOOXXOOXXOOXOOOXX-X-OOOOX----O--X-------- O", -38},
      {"-OOOOO--X-OOOOX-XXOOOOO-XOXXOXOX-XXXXXXOOOXOOXO---OXXO---OOO--O- X", 0},
      {"--OOOXOO--XOOOOOOOOOOXXO-OOOXXXOX-OOOXXO---OOXOO---OOOXO--OOOO-- X", 6},
      {"--XXXXX---XXXX---OXOXOO--OXXXXO--OXXXOOOOOXXXXOO--XXOOOO--XXXXXX X", 12},
      {"--O-X-O---OOOO-OXXXXXXOOXXOOXXXOXOXXXXX-XOXXXX--OOOXXX--XO-XXX-- X", 14},
  };
  for (const auto& problem : problems) {
    const std::string hint =
        Output({"--nboard", std::string("--position=") + problem.board}, "hint 1\n");
    const std::regex best(R"(search [a-h][1-8] (-?\d+)\.00 0 16\n)");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(hint, match, best)) << problem.board << "\n" << hint;
    EXPECT_EQ(std::stoi(match[1]), problem.score) << problem.board;
  }
}

// --solve on a problem file: each position's best score against the file's (exit 1 when one
// differs), and a file with a bad line refused as a whole (exit 2, nothing solved).
TEST(SolveOption, AgreesDiffersAndRefuses) {
  const std::string path = TempPath("problems.obf");
  const std::string problem = "OOXXXXXXXOXXXXXXOOXOXOOXOOXXOOXXOOXOOOXX-X-OOOOX----O--X-------- O";
  const struct {
    std::string file;
    int exitCode;
    const char* verdict;  // in the output, or in standard error
  } cases[] = {
      // Both b7 and c7 keep -38: either may be the one found.
      {"% FForum 40 after four best moves\n\n" + problem + "; b7:-38; c7:-38;\n", 0, "agree"},
      {problem + "; b7:-36; c7:-36;\n", 1, "DIFFERS"},
      {problem + "\n" + problem.substr(0, 30) + "\n", 2, "reversi: "},
      // The empty board would take months: refused before anything is solved.
      {problem + "\n" + std::string(SquareCount, '-') + " X\n", 2,
       "problems.obf:2: more empty squares than an exact search can finish; at most 36\n"},
  };
  for (const auto& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.file;
    const RunResult run = RunWith({"--solve=" + path}, "");
    EXPECT_EQ(run.exitCode, c.exitCode) << c.file;
    if (c.exitCode == 2) {
      EXPECT_EQ(run.errors.rfind("reversi: ", 0), 0U) << run.errors;
      EXPECT_NE(run.errors.find(c.verdict), std::string::npos) << run.errors;
      EXPECT_EQ(run.output, "");
    } else {
      EXPECT_NE(run.output.find(c.verdict), std::string::npos) << run.output;
    }
  }
  std::remove(path.c_str());
}

// A long solve ends at Ctrl+C, by the signal, with what it printed so far: it does not run on to
// the end of a file that may take hours (this position takes minutes).
TEST(SolveOption, CtrlCEndsALongSearchAtOnce) {
  const std::string path = TempPath("long.obf");
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      << "-------------------XXOOO--XXXOOO--XXOXOO-OOOXXXO--OXOO-O-OOOOO-- X\n";
  ChildOptions interrupted;
  interrupted.arguments = {"--solve=" + path};
  interrupted.timeout = std::chrono::milliseconds(5000);
  interrupted.signal = SIGINT;
  interrupted.signalWhen = [](const std::string& output) { return output.ends_with("file\n"); };
  const auto result = RunProgram(Program, "\n", interrupted);  // input held open for the signal
  std::remove(path.c_str());
  if (!result.started) GTEST_SKIP() << "no child process here";
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.signal, SIGINT);
  EXPECT_EQ(result.output, " line  move  score         nodes   seconds  Mnodes/s  file\n");
}

}  // namespace
}  // namespace reversi
