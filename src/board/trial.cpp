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
  SquareSet at = StepSquares(square, direction);  // becomes empty when the step leaves the board
  if ((at & cells.opponent) == 0) return 0;       // most directions end here
  SquareSet run = 0;
  do {
    run |= at;
    at = StepSquares(at, direction);
  } while ((at & cells.opponent) != 0);
  return (at & cells.own) != 0 ? run : 0;
}

// What the trial of one square has found so far, direction by direction.
struct TrialTally {
  int discs;           // summed over the enclosing directions
  SquareSet measured;  // the run of the last enclosing direction, or empty
};

template <int direction>
void TallyDirection(SquareSet square, const CellSets& cells, TrialTally& tally) {
  const SquareSet run = EnclosedRun<direction>(square, cells);
  if (run == 0) return;
  // The mover's discs with only this run turned; k enclosing directions count the mover's own
  // discs k times.
  tally.discs += CountSquares(cells.own | run);
  tally.measured = run;
}

template <int... directions>
TrialTally TallyDirections(SquareSet square, const CellSets& cells,
                           std::integer_sequence<int, directions...>) {
  TrialTally tally = {0, 0};
  (TallyDirection<directions>(square, cells, tally), ...);  // in table order
  return tally;
}

}  // namespace

int TryMoveOn(const CellSets& cells, int row, int col, int& discs) {
  const SquareSet square = SquareBit(row, col);
  if ((cells.empty & square) == 0) return 0;
  const TrialTally tally =
      TallyDirections(square, cells, std::make_integer_sequence<int, DirectionCount>{});
  if (tally.measured == 0) return 0;
  discs = tally.discs;
  // Only the last enclosing direction's trial position is measured, so only it is counted.
  return MobilityOf(cells.own | tally.measured, cells.opponent & ~tally.measured, cells.empty);
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
