// The searching COM of levels 2 and up: negamax with alpha-beta pruning over the board's bit sets,
// a learned evaluation and an exact search to the end; a move depends only on the position
// and the coin. Private to src/com (tests and benchmarks reach it here).
#pragma once

#include <cstdint>

#include "board/board.h"
#include "com/com.h"

namespace reversi {

// How far a level looks: the plies of the middle-game search, and the number of empty squares
// at or below which it searches to the end of the game instead. Fixed per level, so that a move
// depends on nothing but the position and the coin.
struct LevelReach {
  int plies;
  int exactEmpties;
};

// The reach of a searching level, FirstSearchingLevel..LastLevel.
LevelReach ReachOf(int level);

// A finished game is worth this much per disc of difference in the middle-game search: more than
// any evaluation can reach, so a won ending beats every position that is merely good.
inline constexpr int WonDiscScore = 100000;

// The evaluation's units per disc of final difference: a middle-game score divided by this is the
// disc margin the evaluation expects, as hints and the protocols show it. The learned weights are
// stored in these units.
inline constexpr int EvaluationUnitsPerDisc = 100;

// ---- Evaluation (evaluation.cpp) ----------------------------------------------------------------

// How good the position is for the side that `cells` were read for, which is to move: the final
// disc margin it promises, in EvaluationUnitsPerDisc, from learned values of the configurations of
// its edges, corners, rows and diagonals and of both sides' mobility, for the stage of the game
// (patterns.h). The same for all eight symmetric images of a position. Positive is good for the
// mover. |value| < WonDiscScore.
int EvaluatePosition(const CellSets& cells);

// ---- Search (search.cpp) ------------------------------------------------------------------------

// The final disc difference (the mover's discs minus the other side's, the empty squares of a game
// that ends early going to the winner) that the side to move reaches when both sides play
// perfectly from `cells` to the end of the game, passes included.
int SolveExactly(const CellSets& cells);

// The SquareCode that `level` plays for `side` on the Board, which must have a legal move for it.
// Among moves that the search finds equally good, `coin` picks one: the same position and coin
// give the same square.
int ChooseSearchedSquare(int side, int level, int coin);

// Scores every legal move of `cells` (the mover's view) at `level`'s reach, each with a full
// window so that every score is exact rather than a bound; writes them best first (equal scores in
// square order) to `out` (SquareCount records) and returns how many. Prints nothing.
int ScoreEveryMove(const CellSets& cells, int level, ScoredMove* out, SearchReport& report);

// Leaves of the move tree `depth` plies deep from `cells`, found with the search's own move
// routines, counted as the rules' move-tree count is (a forced pass a ply of its own, a finished
// game a leaf wherever it ends), so that the tests can hold the two to the same numbers.
std::uint64_t CountSearchTreeLeaves(const CellSets& cells, int depth);

// Positions visited by the searches since the program started (for the benchmark's speed figure).
std::uint64_t SearchedNodes();

// Empties the transposition table and the node counter, as at program start; the levels stay.
void ResetSearchState();

}  // namespace reversi
