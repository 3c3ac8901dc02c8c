// The step between two turns, shared by the driver's turn loop and the replay of given moves, so
// that a game started after moves is in the state those moves leave when typed. Private to
// src/game; defined with the driver.
#pragma once

namespace reversi {

// After `side` has taken its turn: the other side is to move and the turn is counted; when that
// side must pass, the turn goes back to `side`, the pass is counted and PassFlag set. Returns the
// TurnStatus the new side to move was found in (MustPass: `side` moves again). Prints nothing.
int FinishTurn(int& side);

}  // namespace reversi
