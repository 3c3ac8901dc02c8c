// The program's options: the one table that names each of them with its value and limits, the
// step that applies each to the settings, the help and version texts, and the run of a command
// line from argv to GameSettings. The parsing itself is the table-driven engine in command_line.
// A new option is one row in Options plus its apply step.
#include "app/options.h"

#include <cstdint>

#include "command_line.h"
#include "game/game.h"
#include "platform/console.h"

namespace reversi::app {

namespace {

constexpr std::uint32_t LongestDelay = 10000;  // milliseconds
constexpr std::uint32_t LargestSeed = UINT32_MAX;

// ---- Apply steps: what each option does to the command line's record --------------------------

bool AskForHelp(const OptionValue&, CommandLine& line) {
  line.help = true;
  return true;
}

bool AskForVersion(const OptionValue&, CommandLine& line) {
  line.version = true;
  return true;
}

bool UseEnglish(const OptionValue&, CommandLine& line) {
  line.settings.english = true;
  return true;
}

bool ShowHints(const OptionValue&, CommandLine& line) {
  line.settings.hints = true;
  return true;
}

bool ListLastMoves(const OptionValue&, CommandLine& line) {
  line.settings.lastMove = true;
  return true;
}

bool SetDelay(const OptionValue& value, CommandLine& line) {
  line.settings.delayMilliseconds = static_cast<int>(value.numbers[0]);
  return true;
}

bool SetSeed(const OptionValue& value, CommandLine& line) {
  line.settings.seeded = true;
  line.settings.seed = value.numbers[0];
  return true;
}

bool NameRecordFile(const OptionValue& value, CommandLine& line) {
  line.settings.recordName = value.text;
  return true;
}

// ---- The options, in the order the help lists them ---------------------------------------------

static_assert(LongestDelay <= INT32_MAX, "the delay is kept in an int");

// Rows of the common shapes: an option without a value, and one that needs a value (a whole
// number up to `largest`, or a text). Other shapes (an optional value, a choice of words, a list
// of numbers) are written out.
constexpr OptionRow Flag(const char* name, const char* help, Apply* apply) {
  return {.name = name, .help = help, .apply = apply};
}
constexpr OptionRow Valued(ValueKind kind, const char* name, const char* valueName,
                           const char* needs, const char* help, Apply* apply,
                           std::uint32_t largest = 0) {
  return {.name = name,
          .use = ValueUse::Required,
          .kind = kind,
          .valueName = valueName,
          .needs = needs,
          .largest = largest,
          .help = help,
          .apply = apply};
}

constexpr OptionRow Options[] = {
    {.letter = 'h', .name = "help", .help = "show this help and exit", .apply = AskForHelp},
    Flag("version", "show the version and exit", AskForVersion),
    Flag("english", "show the game's texts in English instead of Japanese", UseEnglish),
    Flag("hints", "on a human side's turn, mark each square it may play", ShowHints),
    Flag("last-move", "under each board, list the turns since the previous board", ListLastMoves),
    Valued(ValueKind::WholeNumbers, "delay", "MS", "a whole number of milliseconds",
           "wait MS milliseconds ({}) after a COM move, a pass\nand the game-over text", SetDelay,
           LongestDelay),
    Valued(ValueKind::WholeNumbers, "seed", "N", "a whole number",
           "seed the COM's coin with N ({}), N+1 in the next\ngame, and so on", SetSeed,
           LargestSeed),
    Valued(ValueKind::Text, "record", "FILE", "a file name",
           "append each game's moves to FILE as a transcript line\n(f5d6c3... 33-31); a game cut "
           "short by the end of the\ninput, a hang-up or a signal gets its line as it stands",
           NameRecordFile),
};

static_assert(IsWellFormed(Options));

constexpr char UsageHead[] =
    "Usage: reversi [OPTION]...\n"
    "Reversi on the console, against the rule-based computer player (COM) or between\n"
    "two people.\n"
    "\n";

constexpr char UsageKeys[] =
    "\n"
    "Keys (type the number, then Enter):\n"
    "  0..3      at the mode prompt: 0 Player vs Player, 1 Player vs COM,\n"
    "            2 COM vs player, 3 COM vs COM\n"
    "  11..88    a move: the row (10..80 down the left) as tens, the column\n"
    "            (1..8 along the top) as units, so 34 is row 3, column 4\n"
    "  0         give up the turn without a move; after the result: a new game\n"
    "  99        break the game off; after the result: shut down\n";

constexpr char Version[] =
    "reversi 1.00\n"
    "A C++20 console edition of Tavimo's Reversi Ver1.00, with its rule-based COM.\n";

}  // namespace

int ReadCommandLine(int argc, char** argv) {
  if (argc <= 1 || argv == nullptr) return StartTheGame;
  CommandLine line = {};
  line.settings = GameSettings;
  if (!ParseArguments(Options, argc, argv, line)) return ExitBadCommandLine;
  if (line.help) {
    platform::WriteText(UsageHead);
    WriteOptionList(Options);
    platform::WriteText(UsageKeys);
  } else if (line.version) {
    platform::WriteText(Version);
  }
  if (line.help || line.version) {
    // As other command-line tools do: output that did not go out is no success.
    const char* reason = "";
    if (!platform::OutputFailed(reason)) return ExitSuccess;
    platform::WriteErrorText("reversi: write error: ");
    platform::WriteErrorText(reason);
    platform::WriteErrorText("\n");
    return ExitWriteFailed;
  }
  if (line.settings.recordName != nullptr) {
    const char* reason = "";
    if (!platform::OpenRecordFile(line.settings.recordName, reason)) {
      RefuseCommandLine(
          {"cannot open the record file '", line.settings.recordName, "' for appending: ", reason});
      return ExitBadCommandLine;
    }
    line.settings.recording = true;
  }
  GameSettings = line.settings;
  return StartTheGame;
}

}  // namespace reversi::app
