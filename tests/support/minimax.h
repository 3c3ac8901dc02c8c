// The outcome of a position with perfect play, found by plain minimax over the game's own rules
// routines: every line of play to the end, with no pruning, ordering or table, so that the search
// of the COM's higher levels can be held against it.
#pragma once

namespace reversi::testing {

// The final disc difference (the discs of `side` minus the other side's; empty squares count for
// nobody) when both sides play perfectly from the Board with `side` to move. Passes as the rules
// say. The Board is left as found. Only for positions with few empty squares: the tree is whole.
int SolveByMinimax(int side);

}  // namespace reversi::testing
