// The trial move by which the COM measures a square, worked on the bit sets of the Board: a trial
// position is the sets with one run moved from the opponent to the mover, so the Board itself is
// never changed and never copied back.
#include <utility>

#include "board/bitboard.h"
#include "board/board.h"

namespace reversi {

namespace {

// The opponent discs that a disc of the side owning `cells.own` on `square` would enclose in
// `direction`; empty when that direction encloses nothing (as CanCaptureInDirection gives 0). The
// direction is a template argument so that every step is a constant shift and mask.
template <int direction>
SquareSet EnclosedRun(SquareSet square, const CellSets& cells) {
  SquareSet run = 0;
  SquareSet at = StepSquares(square, direction);  // becomes empty when the step leaves the board
  while ((at & cells.opponent) != 0) {
    run |= at;
    at = StepSquares(at, direction);
  }
  return (at & cells.own) != 0 ? run : 0;
}

template <int... directions>
void FindRuns(SquareSet square, const CellSets& cells, SquareSet (&runs)[DirectionCount],
              std::integer_sequence<int, directions...>) {
  ((runs[directions] = EnclosedRun<directions>(square, cells)), ...);
}

}  // namespace

int TryMoveOn(const CellSets& cells, int row, int col, int& discs) {
  const SquareSet square = SquareBit(row, col);
  if ((cells.empty & square) == 0) return 0;
  SquareSet runs[DirectionCount];
  FindRuns(square, cells, runs, std::make_integer_sequence<int, DirectionCount>{});
  const int ownDiscs = CountSquares(cells.own);
  int tally = 0;
  SquareSet measured = 0;
  for (const SquareSet run : runs) {
    if (run == 0) continue;
    // The tally runs on across directions: k enclosing directions count the mover's discs k times.
    tally += ownDiscs + CountSquares(run);
    // Only the last enclosing direction's trial position is measured, so only it is counted.
    measured = run;
  }
  if (measured == 0) return 0;
  discs = tally;
  return MobilityOf(cells.own | measured, cells.opponent & ~measured, cells.empty);
}

int TryMove(int row, int col, int side, int& discs) {
  if (Board[row][col] != Empty) return 0;
  // A tally of 0 means that nothing enclosed: every run holds at least one disc.
  int tally = 0;
  const int mobility = TryMoveOn(ReadCellSets(side), row, col, tally);
  if (tally == 0) return 0;
  // Trials on the Board itself would leave the snapshot holding the Board; keep that promise.
  SaveBoard();
  discs = tally;
  return mobility;
}

}  // namespace reversi
