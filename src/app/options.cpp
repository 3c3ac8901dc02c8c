// The program's options: the one table that names each of them with its value and limits, the
// step that applies each to the settings, the help and version texts, and the run of a command
// line from argv to GameSettings. The parsing itself is the table-driven engine in command_line.
// A new option is one row in Options, with an apply step unless it only switches a setting on.
#include "app/options.h"

#include <cstdint>
#include <cstring>

#include "board/board.h"
#include "com/com.h"
#include "command_line.h"
#include "engine/engine.h"
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

// The words of --color in the order of their indexes; the option alone means "auto".
constexpr ColorWhen ColorChoices[] = {ColorAuto, ColorAlways, ColorNever};

bool ChooseColor(const OptionValue& value, CommandLine& line) {
  line.settings.color = value.text == nullptr ? ColorAuto : ColorChoices[value.word];
  return true;
}

// The words of --notation in the order of their indexes.
bool ChooseNotation(const OptionValue& value, CommandLine& line) {
  line.settings.letterSquares = value.word == 1;
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

bool StartAfterMoves(const OptionValue& value, CommandLine& line) {
  line.openingMoves = value.text;
  return true;
}

bool ResumeRecordedGame(const OptionValue& value, CommandLine& line) {
  line.resumeName = value.text;
  return true;
}

bool StartFromPosition(const OptionValue& value, CommandLine& line) {
  line.positionText = value.text;
  return true;
}

bool SpeakGtp(const OptionValue&, CommandLine& line) {
  line.engine = StartGtp;
  return true;
}

bool SpeakNBoard(const OptionValue&, CommandLine& line) {
  line.engine = StartNBoard;
  return true;
}

// The coach's level when --coach is given without one: the deepest search.
constexpr int DefaultCoachLevel = LastLevel;

bool StartCoach(const OptionValue& value, CommandLine& line) {
  line.settings.coachLevel =
      value.text == nullptr ? DefaultCoachLevel : static_cast<int>(value.numbers[0]);
  return true;
}

bool SolveProblemFile(const OptionValue& value, CommandLine& line) {
  line.solveName = value.text;
  return true;
}

// --level takes one level for both COMs, or the black one's and the white one's.
constexpr int LevelsGiven = 2;

// One level for both COMs, or the black one's and the white one's.
bool SetLevels(const OptionValue& value, CommandLine& line) {
  line.blackLevel = static_cast<int>(value.numbers[0]);
  line.whiteLevel = static_cast<int>(value.numbers[value.count - 1]);
  return true;
}

// ---- The options, in the order the help lists them ---------------------------------------------

static_assert(LongestDelay <= INT32_MAX, "the delay is kept in an int");

// Rows of the common shapes: a switch that turns a setting on, and one that needs a value (a whole
// number up to `largest`, or a text). Other shapes (an optional value, a choice of words, a list
// of numbers) are written out.
constexpr OptionRow Flag(const char* name, const char* help, bool Settings::*switchOn) {
  return {.name = name, .help = help, .switchOn = switchOn};
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
    {.name = "version", .help = "show the version and exit", .apply = AskForVersion},
    Flag("english", "show the game's texts in English instead of Japanese", &Settings::english),
    Flag("hints", "on a human side's turn, mark each square it may play", &Settings::hints),
    Flag("last-move", "under each board, list the turns since the previous board",
         &Settings::lastMove),
    Flag("ascii", "draw the discs as O and X, empty squares '.', hints '*'", &Settings::ascii),
    {.name = "color",
     .use = ValueUse::Optional,
     .kind = ValueKind::Word,
     .valueName = "WHEN",
     .needs = "one of",
     .words = "auto|always|never",
     .help = "draw the board in colour: auto (the default) only on a\n"
             "terminal or console, always (into a pipe or file too),\nor never",
     .apply = ChooseColor},
    {.name = "notation",
     .use = ValueUse::Required,
     .kind = ValueKind::Word,
     .valueName = "WAY",
     .needs = "one of",
     .words = "11|a1",
     .help = "how squares are named: 11 (the default) as row and\n"
             "column numbers, a1 as a column letter and a row digit\n"
             "(the board labelled so, moves typed and shown as d3)",
     .apply = ChooseNotation},
    Valued(ValueKind::WholeNumbers, "delay", "MS", "a whole number of milliseconds",
           "wait MS milliseconds ({}) after a COM move, a pass\nand the game-over text", SetDelay,
           LongestDelay),
    Valued(ValueKind::WholeNumbers, "seed", "N", "a whole number",
           "seed the COM's coin with N ({}),\nN+1 in the next game, and so on", SetSeed,
           LargestSeed),
    Valued(ValueKind::Text, "record", "FILE", "a file name",
           "append each game's moves to FILE as a transcript line\n(f5d6c3... 33-31); a game cut "
           "short by the end of the\ninput, a hang-up or a signal gets its line as it stands",
           NameRecordFile),
    Flag("undo",
         "let a human side type 98 to take back its last turn\n(again and again, as far as the "
         "game's first); 98 after\nthe result goes back into the game",
         &Settings::undo),
    Valued(ValueKind::AnyText, "from", "MOVES", "moves such as f5d6c3",
           "start every game after MOVES, written as in the record\n(f5d6c3, PA for a turn given "
           "up)",
           StartAfterMoves),
    Valued(ValueKind::Text, "resume", "FILE", "a file name",
           "start the first game after the moves of the last game\nrecorded in FILE, to go on "
           "with it",
           ResumeRecordedGame),
    Valued(ValueKind::Text, "position", "POS", "a board",
           "start every game from the board POS: 64 characters,\nX (black), O (white) or - "
           "(empty), from a1 to h8 row\nby row, a blank and the side to move, X or O",
           StartFromPosition),
    {.name = "level",
     .use = ValueUse::Required,
     .kind = ValueKind::WholeNumbers,
     .valueName = "N",
     .needs = "one level or two (black,white)",
     .smallest = RuleBasedLevel,
     .largest = LastLevel,
     .most = LevelsGiven,
     .help = "the COM's strength ({}): 1, the default, is the game's\n"
             "own rule-based COM; 2 to 5 search ahead, deeper as N\n"
             "rises; N,M gives the black COM level N, the white M",
     .apply = SetLevels},
    {.name = "coach",
     .use = ValueUse::Optional,
     .kind = ValueKind::WholeNumbers,
     .valueName = "N",
     .needs = "a searching level",
     .smallest = FirstSearchingLevel,
     .largest = LastLevel,
     .help = "on a human turn, 97 lists every move's score in discs,\n"
             "best first, as the search at level N ({}, 5 if left\n"
             "out) finds it; the result adds the three costliest moves",
     .apply = StartCoach},
    {.name = "gtp",
     .help = "be an engine for other programs: answer the Go Text\n"
             "Protocol on standard input and output (play, genmove,\n"
             "undo, showboard, final_score...) at the --level given",
     .apply = SpeakGtp},
    {.name = "nboard",
     .help = "be an engine for board programs: answer the NBoard\n"
             "protocol (set game, move, go, hint, ping)",
     .apply = SpeakNBoard},
    Valued(ValueKind::Text, "solve", "FILE", "a file name",
           "solve every position of FILE exactly instead of playing:\n"
           "one line each, the 64 squares a1..h8 as X, O or - (at\n"
           "most 36 of them -), the side to move, then optionally\n"
           "the best moves' scores (; a2:+38;); prints each best\n"
           "move, its score, nodes and time, and exits 1 if a score\n"
           "differs from the file's",
           SolveProblemFile),
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
    "  99        break the game off; after the result: shut down\n"
    "  98        with --undo: take back to your previous turn; after the result:\n"
    "            back into the game\n"
    "  97        with --coach: every move's score in discs, best first\n"
    "  a1..h8    with --notation=a1: a move as its column letter and row digit\n";

constexpr char Version[] =
    "reversi 1.00\n"
    "A C++20 console edition of Tavimo's Reversi Ver1.00, with its rule-based COM.\n";

// Refuses the moves of --from for what SetOpening found; false for moves that cannot be played.
bool AcceptOpening(const OpeningCheck& check) {
  char number[WholeNumberTextSize];
  const char* const move = WholeNumberText(static_cast<std::uint32_t>(check.moveNumber), number);
  switch (check.verdict) {
    case OpeningVerdict::Playable:
      return true;
    case OpeningVerdict::NotASquare:
      RefuseCommandLine(
          {"--from: move ", move, " '", check.move, "' is not a square a1..h8 nor PA"});
      break;
    case OpeningVerdict::IllegalMove:
      RefuseCommandLine({"--from: move ", move, " '", check.move, "' is not a legal move for ",
                         check.side == 0 ? "black" : "white"});
      break;
    case OpeningVerdict::AfterTheEnd:
      RefuseCommandLine(
          {"--from: move ", move, " '", check.move, "' comes after neither side can move"});
      break;
    case OpeningVerdict::EndsTheGame:
      RefuseCommandLine({"--from: the game is over after these moves"});
      break;
    case OpeningVerdict::TooLong: {
      char most[WholeNumberTextSize];
      RefuseCommandLine({"--from: more than ", WholeNumberText(OpeningCapacity, most), " moves"});
      break;
    }
  }
  return false;
}

// Reads the board of --position and keeps it as every game's start; false, after saying why, when
// it is no board or the game on it is over.
bool AcceptPosition(const char* text) {
  Position position = {};
  const int length = static_cast<int>(std::strlen(text));
  const PositionRead read = ReadPositionText(text, length, position);
  char square[MoveTextLength + 1] = {};
  char squares[WholeNumberTextSize];
  switch (read.fault) {
    case PositionFault::None:
      if (read.end != length) {
        RefuseCommandLine({"--position: text after the side to move"});
        return false;
      }
      break;
    case PositionFault::BadCell:
      if (read.at >= length) {
        RefuseCommandLine({"--position: the board has ",
                           WholeNumberText(static_cast<std::uint32_t>(read.at), squares),
                           " squares, not 64"});
      } else {
        WriteMoveText(SquareCode(read.at / BoardSize, read.at % BoardSize), square);
        RefuseCommandLine({"--position: square ", square, " is not X, O or -"});
      }
      return false;
    case PositionFault::NoSide:
    case PositionFault::JoinedText:
      RefuseCommandLine(
          {"--position: the 64 squares must be followed by a blank and the side to "
           "move, X or O"});
      return false;
  }
  if (SetStartPosition(position).verdict == OpeningVerdict::EndsTheGame) {
    RefuseCommandLine({"--position: the game is over on this board"});
    return false;
  }
  return true;
}

// Checks what an engine protocol starts from: a board of --position, the levels and the seed; the
// options of the console game have no meaning there and are refused.
int ChooseEngine(const CommandLine& line, EngineChoice& engine) {
  const char* const name = line.engine == StartGtp ? "--gtp" : "--nboard";
  const char* gameOption = line.openingMoves != nullptr          ? "--from"
                           : line.resumeName != nullptr          ? "--resume"
                           : line.settings.recordName != nullptr ? "--record"
                                                                 : nullptr;
  if (gameOption != nullptr) {
    RefuseCommandLine({name, " and ", gameOption, " cannot be used together"});
    return ExitBadCommandLine;
  }
  engine = {};
  if (line.positionText != nullptr) {
    if (!AcceptPosition(line.positionText)) return ExitBadCommandLine;
    const int length = static_cast<int>(std::strlen(line.positionText));
    ReadPositionText(line.positionText, length, engine.position);
    engine.fromPosition = true;
  }
  engine.seed = line.settings.seeded ? line.settings.seed : platform::CalendarSeconds();
  if (line.blackLevel != 0) SetComLevel(0, line.blackLevel);
  if (line.whiteLevel != 0) SetComLevel(1, line.whiteLevel);
  return line.engine;
}

// Refuses the record file of --resume for what ResumeFrom found; false unless its last game can go
// on.
bool AcceptResume(const ResumeCheck& check, const char* name) {
  char number[WholeNumberTextSize];
  const char* const line = WholeNumberText(static_cast<std::uint32_t>(check.lineNumber), number);
  switch (check.verdict) {
    case ResumeVerdict::Ready:
      return true;
    case ResumeVerdict::CannotRead:
      RefuseCommandLine({"cannot read the record file '", name, "': ", check.reason});
      break;
    case ResumeVerdict::NoGame:
      RefuseCommandLine({"the record file '", name, "' holds no game"});
      break;
    case ResumeVerdict::NotARecordLine:
      RefuseCommandLine({"line ", line, " of '", name, "' is not a record line"});
      break;
    case ResumeVerdict::TooLong: {
      char most[WholeNumberTextSize];
      RefuseCommandLine({"line ", line, " of '", name, "' has more than ",
                         WholeNumberText(OpeningCapacity, most), " moves"});
      break;
    }
    case ResumeVerdict::Finished:
      RefuseCommandLine({"the last game in '", name, "' is finished"});
      break;
  }
  return false;
}

}  // namespace

int ReadCommandLine(int argc, char** argv) {
  EngineChoice engine = {};
  const int answer = ReadCommandLine(argc, argv, engine);
  if (answer == StartGtp || answer == StartNBoard) {
    RefuseCommandLine({"an engine protocol cannot start here"});
    return ExitBadCommandLine;
  }
  return answer;
}

int RunEngine(int answer, const EngineChoice& choice) {
  const engine::EngineStart start = {choice.fromPosition ? &choice.position : nullptr, choice.seed};
  const int status = answer == StartGtp ? engine::RunGtp(start) : engine::RunNBoard(start);
  platform::LeaveConsole();
  platform::EndAsRequested();
  return status;
}

int ReadCommandLine(int argc, char** argv, EngineChoice& engine) {
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
  if (line.solveName != nullptr) {
    const int status = engine::RunSolve(line.solveName);
    // A problem file that cannot be used is refused like any other bad command line.
    if (status == engine::ExitBadInput) platform::WriteErrorText("Try 'reversi --help'.\n");
    return status;
  }
  // The moves are checked before the record file is opened: a refused command line creates no file.
  if (line.openingMoves != nullptr && line.resumeName != nullptr) {
    RefuseCommandLine({"--from and --resume cannot be used together"});
    return ExitBadCommandLine;
  }
  if (line.engine != 0) return ChooseEngine(line, engine);
  if (line.positionText != nullptr && line.resumeName != nullptr) {
    RefuseCommandLine({"--position and --resume cannot be used together"});
    return ExitBadCommandLine;
  }
  // A record line holds moves from the usual start, which a later --resume would replay there.
  if (line.positionText != nullptr && line.settings.recordName != nullptr) {
    RefuseCommandLine({"--position and --record cannot be used together"});
    return ExitBadCommandLine;
  }
  if (line.positionText != nullptr) {
    if (!AcceptPosition(line.positionText)) return ExitBadCommandLine;
    line.settings.opening = true;
  }
  if (line.openingMoves != nullptr) {
    if (!AcceptOpening(SetOpening(line.openingMoves))) return ExitBadCommandLine;
    line.settings.opening = true;
  }
  if (line.resumeName != nullptr) {
    if (!AcceptResume(ResumeFrom(line.resumeName), line.resumeName)) return ExitBadCommandLine;
    line.settings.opening = true;
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
  if (line.blackLevel != 0) SetComLevel(0, line.blackLevel);
  if (line.whiteLevel != 0) SetComLevel(1, line.whiteLevel);
  return StartTheGame;
}

}  // namespace reversi::app
