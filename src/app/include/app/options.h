// The command line: reads the player's options into the game's Settings record, answers --help
// and --version, and refuses a bad command line before any game starts. Owns no state of its own:
// a command line is read into a local record, which becomes GameSettings only when it is good.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace reversi::app {

// ReadCommandLine's answers when the game or an engine protocol is to run; every other answer is an
// exit code.
inline constexpr int StartTheGame = -1;
inline constexpr int StartGtp = -2;
inline constexpr int StartNBoard = -3;
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitBadCommandLine = 2;
inline constexpr int ExitWriteFailed = 1;  // the help or the version could not be written

// Reads the arguments of main. Returns StartTheGame with GameSettings filled in (and the record
// file open, if one was named), or the exit code after the help, the version or a complaint on
// standard error has been written (GameSettings then as before). No arguments at all leave the
// settings as they are.
int ReadCommandLine(int argc, char** argv);

// What an engine protocol starts from, as the command line gave it.
struct EngineChoice {
  bool fromPosition;  // --position was given
  Position position;
  std::uint32_t seed;  // --seed, or the clock
};

// ReadCommandLine, which also fills in `engine` when it answers StartGtp or StartNBoard.
int ReadCommandLine(int argc, char** argv, EngineChoice& engine);

// Runs the engine protocol that ReadCommandLine answered (StartGtp or StartNBoard) until its input
// ends; returns the exit code. After an ending signal the process ends by that signal.
int RunEngine(int answer, const EngineChoice& engine);

}  // namespace reversi::app
