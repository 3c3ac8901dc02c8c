// The square-by-square forms of the rules routines that board.h serves with bit-parallel code.
// They follow the rules cell by cell, exactly as written, and stay the definition of the results:
// tests compare the fast routines against them on many positions. Not used by the game itself.
#pragma once

namespace reversi {

// CountMobility by a scan of every Empty square with IsLegalMove for both sides.
int CountMobilityByScan(int side);

// GetTurnStatus by a row-major scan that stops at the first legal square.
int GetTurnStatusByScan(int side);

// TryMove by saving the Board, turning the run, counting all 64 cells, CountMobilityByScan and
// restoring the Board, once for every enclosing direction.
int TryMoveByScan(int row, int col, int side, int& discs);

}  // namespace reversi
