// The protocol room: front ends beside the console game that answer files and other programs
// instead of a person (GTP, NBoard, problem files), on the COM and the board; each writes nothing
// but its own replies and returns the program's exit code.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace reversi::engine {

// The exit codes of a front end.
inline constexpr int ExitAllGood = 0;
inline constexpr int ExitDisagrees = 1;  // a solved score differs from the file's, or output failed
inline constexpr int ExitBadInput = 2;   // the file cannot be read or holds a bad line

// Where the engine's games start and how its COM draws: `start` is the position of every new game
// (nullptr: the usual four discs), `seed` starts the COM's generator once.
struct EngineStart {
  const Position* start;
  std::uint32_t seed;
};

// Answers GTP commands from standard input until "quit" or the input's end; returns the exit code.
int RunGtp(const EngineStart& start);

// Answers NBoard commands from standard input until "quit" or the input's end; returns the exit
// code.
int RunNBoard(const EngineStart& start);

// The most empty squares a problem may have: an exact search from more would run for months here,
// which no one asks for knowingly (from 34 it takes hours).
inline constexpr int MostSolvedEmpties = 36;

// Solves every position of the problem file at `path` (OBF lines: the cells a1..h8, the side to
// move and optionally "; move:score;" for the best moves; '%' comments and blank lines skipped)
// exactly and prints for each the best move, its score, the nodes, the time and the speed, then
// the totals, and whether each agrees with the file's scores where the file gives them. A bad
// line, or a position with more than `mostEmpties` empty squares, is named on standard error and
// nothing is solved.
int RunSolve(const char* path, int mostEmpties = MostSolvedEmpties);

}  // namespace reversi::engine
