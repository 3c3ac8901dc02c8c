// The trial move by which the COM measures a square, worked on the bit sets of the Board: a trial
// position is the sets with one run moved from the opponent to the mover, so the Board itself is
// never changed and never copied back.
#include "board/bitboard.h"
#include "board/board.h"

namespace reversi {

namespace {

// The opponent discs that a disc of the side owning `cells.own` on (row, col) would enclose in
// `direction`; empty when that direction encloses nothing (as CanCaptureInDirection gives 0).
SquareSet EnclosedRun(int row, int col, int direction, const CellSets& cells) {
  SquareSet run = 0;
  SquareSet at = SquareBit(row, col);
  for (;;) {
    at = StepSquares(at, direction);  // becomes empty when the step leaves the board
    if ((at & cells.opponent) == 0) break;
    run |= at;
  }
  return (at & cells.own) != 0 ? run : 0;
}

}  // namespace

int TryMove(int row, int col, int side, int& discs) {
  if (Board[row][col] != Empty) return 0;
  const CellSets cells = ReadCellSets(side);
  const int ownDiscs = CountSquares(cells.own);
  int tally = 0;
  int mobility = 0;
  bool captured = false;
  for (int direction = 0; direction < DirectionCount; ++direction) {
    const SquareSet run = EnclosedRun(row, col, direction, cells);
    if (run == 0) continue;
    // Trials on the Board itself would leave the snapshot holding the Board; keep that promise.
    if (!captured) SaveBoard();
    // The tally runs on across directions: k enclosing directions count the mover's discs k times.
    tally += ownDiscs + CountSquares(run);
    mobility = MobilityOf(cells.own | run, cells.opponent & ~run, cells.empty);
    captured = true;
  }
  if (!captured) return 0;
  discs = tally;
  return mobility;
}

}  // namespace reversi
