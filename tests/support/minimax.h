// The outcome of a position with perfect play, found by plain minimax over the game's own rules
// routines: every line of play to the end, with no pruning, ordering or table, so that the search
// of the COM's higher levels can be held against it.
#pragma once

namespace reversi::testing {

// How a finished game is scored: the disc difference alone (the result screen), or with the empty
// squares of a game that ended early added to the winner's discs (the Othello convention that
// exact scores and problem collections use).
enum class Count { DiscsOnly, EmptiesToWinner };

// The final difference (`side` minus the other side, counted as `count` says) when both sides play
// perfectly from the Board with `side` to move. Passes as the rules say. The Board is left as
// found. Only for positions with few empty squares: the tree is whole.
int SolveByMinimax(int side, Count count = Count::EmptiesToWinner);

}  // namespace reversi::testing
