// The command line: reads the player's options into the game's Settings record, answers --help
// and --version, and refuses a bad command line before any game starts. Owns no state of its own:
// a command line is read into a local record, which becomes GameSettings only when it is good.
#pragma once

namespace reversi::app {

// ReadCommandLine's answer when the game is to be played; every other answer is an exit code.
inline constexpr int StartTheGame = -1;
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitBadCommandLine = 2;
inline constexpr int ExitWriteFailed = 1;  // the help or the version could not be written

// Reads the arguments of main. Returns StartTheGame with GameSettings filled in (and the record
// file open, if one was named), or the exit code after the help, the version or a complaint on
// standard error has been written (GameSettings then as before). No arguments at all leave the
// settings as they are.
int ReadCommandLine(int argc, char** argv);

}  // namespace reversi::app
