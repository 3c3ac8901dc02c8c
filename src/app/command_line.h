// The command line's engine, private to src/app: the shape of an option table, the one parser that
// reads argv against such a table into a local result, and the help's option list written from it.
// Owns no state: everything a parse learns goes into the caller's CommandLine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "game/game.h"

namespace reversi::app {

// What a command line asked for, filled in by the rows' apply steps. The caller starts it from
// the settings in force, so that options add to them.
struct CommandLine {
  bool help;
  bool version;
  Settings settings;
  const char* openingMoves;  // --from: the moves every game starts after, or nullptr
  const char* resumeName;    // --resume: the record file whose last game goes on, or nullptr
  const char* positionText;  // --position: the board every game starts from, or nullptr
  int engine;                // StartGtp or StartNBoard when an engine protocol was asked for
  const char* solveName;     // --solve: the problem file to solve instead of a game, or nullptr
  int blackLevel;            // the level asked for the black COM (side 0); 0 when none was
  int whiteLevel;            // the same for the white COM (side 1)
};

// Whether an option is followed by a value: never, always ("--name=VALUE" or "--name VALUE"), or
// only when it is attached with "=" ("--name" alone leaves it out).
enum class ValueUse { None, Required, Optional };

// What a value must look like before the row's apply step sees it.
enum class ValueKind {
  Nothing,       // no value
  WholeNumbers,  // decimal digits only, each number in smallest..largest; up to `most` of them,
                 // separated by commas
  Text,          // any text but the empty one
  AnyText,       // any text, the empty one too
  Word,          // one of the row's `words`
};

// The longest list of numbers a single value may carry.
inline constexpr int MostNumbers = 4;

// A value as the parser checked it.
struct OptionValue {
  const char* text;  // as typed; nullptr when an optional value was left out
  std::uint32_t numbers[MostNumbers];
  int count;  // how many numbers (WholeNumbers)
  int word;   // the index of the word among the row's words (Word)
};

// What an option does to the command line's record; false after it has refused its value.
using Apply = bool(const OptionValue& value, CommandLine& line);

// One option: its names, its value and the value's limits, its help and what it does. Each is
// written once here, and the help and every complaint about the option are written from the row.
// An option that only switches a setting on names that setting instead of an apply step.

struct OptionRow {
  char letter = '\0';  // the short form ("-h"), or none
  const char* name;    // the long form without its dashes
  ValueUse use = ValueUse::None;
  ValueKind kind = ValueKind::Nothing;
  const char* valueName = nullptr;  // "MS" in "--delay=MS"
  const char* needs = nullptr;      // "a whole number" in "--seed needs a whole number from ..."
  std::uint32_t smallest = 0;       // WholeNumbers: the range of each number
  std::uint32_t largest = 0;
  int most = 1;                 // WholeNumbers: how many numbers at most (1..MostNumbers)
  const char* words = nullptr;  // Word: the choices, separated by '|'
  const char* help = "";        // lines separated by "\n"; "{}" stands for the limits
  Apply* apply = nullptr;
  bool Settings::*switchOn = nullptr;  // the setting a plain switch turns on, instead of `apply`
};

// True when every row of `table` is complete for the parser and the help: a value row names its
// value and what it needs, number limits are in order, no long name or letter is given twice.
// Checked when compiling (static_assert), so a new row cannot leave a gap the parser would meet.
constexpr bool IsWellFormed(std::span<const OptionRow> table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    const OptionRow& row = table[i];
    if (row.name == nullptr || row.name[0] == '\0' || row.help == nullptr) return false;
    // Exactly one way to take effect; a switch takes no value.
    if ((row.apply == nullptr) == (row.switchOn == nullptr)) return false;
    if (row.switchOn != nullptr && row.use != ValueUse::None) return false;
    if ((row.use == ValueUse::None) != (row.kind == ValueKind::Nothing)) return false;
    if (row.use != ValueUse::None && (row.valueName == nullptr || row.needs == nullptr))
      return false;
    if (row.kind == ValueKind::WholeNumbers &&
        (row.smallest > row.largest || row.most < 1 || row.most > MostNumbers))
      return false;
    if (row.kind == ValueKind::Word && row.words == nullptr) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (std::string_view(table[j].name) == row.name) return false;
      if (row.letter != '\0' && table[j].letter == row.letter) return false;
    }
  }
  return true;
}

// Reads the arguments argv[1] .. argv[argc - 1] against `table`, taking each row's effect in the
// order the options are given. Accepts "--name", "--name=VALUE", "--name VALUE", any unique
// beginning of a long name, short forms (also run together, "-hh"), and "--" to end the options.
// True when every argument was accepted; otherwise the first bad one has been refused on standard
// error (RefuseCommandLine) and the rest not read.
bool ParseArguments(std::span<const OptionRow> table, int argc, char** argv, CommandLine& line);

// Writes the option list of the help to standard output: one entry per row, its names in a column
// as wide as the widest, its help lines beside them with the limits filled in.
void WriteOptionList(std::span<const OptionRow> table);

// Writes "reversi: " and the pieces (nullptr pieces left out) as one line, then the usage hint, to
// standard error.
void RefuseCommandLine(std::initializer_list<const char*> pieces);

// The longest decimal text of a 32-bit number, with its terminating NUL.
inline constexpr int WholeNumberTextSize = 11;

// Writes `value` in decimal into `text`, NUL-terminated; returns `text`.
const char* WholeNumberText(std::uint32_t value, char (&text)[WholeNumberTextSize]);

}  // namespace reversi::app
