// What the options mean: their values checked and put into the settings, the help and version
// texts, and the complaints about a bad command line. The parsing itself is in command_line_*.cpp.
#include "app/options.h"

#include <cstdint>

#include "com/com.h"
#include "game/game.h"
#include "platform/console.h"

namespace reversi::app {

namespace {

constexpr int LongestDelay = 10000;  // milliseconds
constexpr std::uint32_t LargestSeed = UINT32_MAX;
constexpr int DecimalRadix = 10;

bool helpAsked = false;
bool versionAsked = false;

constexpr char Usage[] =
    "Usage: reversi [OPTION]...\n"
    "Reversi on the console, against the rule-based computer player (COM) or between\n"
    "two people.\n"
    "\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "      --english      show the game's texts in English instead of Japanese\n"
    "      --hints        on a human side's turn, mark each square it may play\n"
    "      --last-move    under each board, list the turns since the previous board\n"
    "      --delay=MS     wait MS milliseconds (0..10000) after a COM move, a pass\n"
    "                     and the game-over text\n"
    "      --seed=N       seed the COM's coin with N (0..4294967295), N+1 in the next\n"
    "                     game, and so on\n"
    "      --record=FILE  append each game's moves to FILE as a transcript line\n"
    "                     (f5d6c3... 33-31)\n"
    "      --level=N      the COM's strength, 1..5: 1 (the default) is the game's own\n"
    "                     rule-based COM, 2..5 search ahead, deeper as N rises;\n"
    "                     --level=B,W gives the black and the white COM apart\n"
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

constexpr char Hint[] = "Try 'reversi --help'.\n";

// Reads a decimal number of digits only (no sign, no blanks) that is at most `largest`.
bool ReadWholeNumber(const char* text, std::uint32_t largest, std::uint32_t& value) {
  if (text == nullptr || *text == '\0') return false;
  std::uint64_t number = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    number = number * DecimalRadix + static_cast<std::uint64_t>(*c - '0');
    if (number > largest) return false;
  }
  value = static_cast<std::uint32_t>(number);
  return true;
}

// Reads a level, one digit RuleBasedLevel..LastLevel, at `text`; true with `level` set and `text`
// moved past it.
bool ReadLevel(const char*& text, int& level) {
  if (*text < '0' + RuleBasedLevel || *text > '0' + LastLevel) return false;
  level = *text++ - '0';
  return true;
}

// "N" sets both COMs' levels, "B,W" the black and the white one apart.
bool ReadLevels(const char* text, int& black, int& white) {
  if (text == nullptr || !ReadLevel(text, black)) return false;
  white = black;
  if (*text == ',' && !ReadLevel(++text, white)) return false;
  return *text == '\0';
}

}  // namespace

const char* NameOfOption(int id) {
  for (const OptionName& option : OptionNames) {
    if (option.id == id) return option.name;
  }
  return nullptr;
}

bool ApplyOption(int id, const char* value) {
  std::uint32_t number = 0;
  switch (id) {
    case HelpOption:
      helpAsked = true;
      return true;
    case VersionOption:
      versionAsked = true;
      return true;
    case EnglishOption:
      GameSettings.english = true;
      return true;
    case HintsOption:
      GameSettings.hints = true;
      return true;
    case LastMoveOption:
      GameSettings.lastMove = true;
      return true;
    case DelayOption:
      if (!ReadWholeNumber(value, LongestDelay, number)) {
        RefuseCommandLine(
            {"--delay needs a whole number of milliseconds from 0 to 10000, not '", value, "'"});
        return false;
      }
      GameSettings.delayMilliseconds = static_cast<int>(number);
      return true;
    case SeedOption:
      if (!ReadWholeNumber(value, LargestSeed, number)) {
        RefuseCommandLine({"--seed needs a whole number from 0 to 4294967295, not '", value, "'"});
        return false;
      }
      GameSettings.seeded = true;
      GameSettings.seed = number;
      return true;
    case RecordOption:
      if (value == nullptr || *value == '\0') {
        RefuseCommandLine({"--record needs a file name"});
        return false;
      }
      GameSettings.recordName = value;
      return true;
    case LevelOption: {
      int black = RuleBasedLevel;
      int white = RuleBasedLevel;
      if (!ReadLevels(value, black, white)) {
        RefuseCommandLine({"--level needs a level from 1 to 5, or two as B,W, not '", value, "'"});
        return false;
      }
      SetComLevel(0, black);
      SetComLevel(1, white);
      return true;
    }
    default:
      RefuseCommandLine({"unknown option"});
      return false;
  }
}

int RefuseCommandLine(std::initializer_list<const char*> pieces) {
  platform::WriteErrorText("reversi: ");
  for (const char* piece : pieces) {
    if (piece != nullptr) platform::WriteErrorText(piece);
  }
  platform::WriteErrorText("\n");
  platform::WriteErrorText(Hint);
  return ExitBadCommandLine;
}

int FinishCommandLine() {
  if (helpAsked || versionAsked) {
    platform::WriteText(helpAsked ? Usage : Version);
    platform::FlushOutput();
    return ExitSuccess;
  }
  if (GameSettings.recordName != nullptr) {
    const char* reason = "";
    if (!platform::OpenRecordFile(GameSettings.recordName, reason)) {
      return RefuseCommandLine(
          {"cannot open the record file '", GameSettings.recordName, "' for appending: ", reason});
    }
    GameSettings.recording = true;
  }
  return StartTheGame;
}

}  // namespace reversi::app
