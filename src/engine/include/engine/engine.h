// Front ends beside the console game that answer files and other programs instead of a person:
// each runs to its end on its own and returns the program's exit code; none starts a game.
#pragma once

namespace reversi::engine {

// The exit codes of a front end.
inline constexpr int ExitAllGood = 0;
inline constexpr int ExitDisagrees = 1;  // a solved score differs from the file's, or output failed
inline constexpr int ExitBadInput = 2;   // the file cannot be read or holds a bad line

// Solves every position of the problem file at `path` (OBF lines: the cells a1..h8, the side to
// move and optionally "; move:score;" for the best moves; '%' comments and blank lines skipped)
// exactly and prints for each the best move, its score, the nodes, the time and the speed, then
// the totals, and whether each agrees with the file's scores where the file gives them. A bad
// line is named on standard error and nothing is solved.
int RunSolve(const char* path);

}  // namespace reversi::engine
