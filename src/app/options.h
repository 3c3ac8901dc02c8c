// The command line: reads the player's options into the game's Settings record, answers --help
// and --version, and refuses a bad command line before any game starts. Owns no state of its own;
// everything it learns goes into GameSettings, the COM's levels and the platform's record file.
#pragma once

#include <initializer_list>

namespace reversi::app {

// ReadCommandLine's answer when the game is to be played; every other answer is an exit code.
inline constexpr int StartTheGame = -1;
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitBadCommandLine = 2;

// Reads the arguments of main. Returns StartTheGame with GameSettings filled in (and the record
// file open, if one was named), or the exit code after the help, the version or a complaint on
// standard error has been written. No arguments at all leave the settings as they are.
int ReadCommandLine(int argc, char** argv);

// ---- Shared by the parser and the option handling ---------------------------------------------

// What each option is known as to the parser. Short forms use their letter; long-only options
// take values above every character.
enum OptionId {
  HelpOption = 'h',
  VersionOption = 256,
  EnglishOption,
  HintsOption,
  LastMoveOption,
  DelayOption,
  SeedOption,
  RecordOption,
  LevelOption,
};

struct OptionName {
  const char* name;  // the long form without its dashes
  int id;
  bool takesValue;
};

inline constexpr OptionName OptionNames[] = {
    {"help", HelpOption, false},          {"version", VersionOption, false},
    {"english", EnglishOption, false},    {"hints", HintsOption, false},
    {"last-move", LastMoveOption, false}, {"delay", DelayOption, true},
    {"seed", SeedOption, true},           {"record", RecordOption, true},
    {"level", LevelOption, true},
};

// The long name of option `id`, or nullptr for an id that is no option.
const char* NameOfOption(int id);

// Takes one option and its value (nullptr for an option without one) into the settings. False
// after a bad value has been reported.
bool ApplyOption(int id, const char* value);

// Writes "reversi: " and the pieces as one line, then the usage hint, to standard error; returns
// ExitBadCommandLine.
int RefuseCommandLine(std::initializer_list<const char*> pieces);

// Ends a command line whose options were all accepted: writes the help or the version and returns
// ExitSuccess, or opens the record file and returns StartTheGame (ExitBadCommandLine when it
// cannot be opened).
int FinishCommandLine();

}  // namespace reversi::app
