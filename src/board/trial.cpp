// The trial move by which the COM measures a square, worked on the bit sets of the Board: a trial
// position is the sets with one run moved from the opponent to the mover, so the Board itself is
// never changed and never copied back.
#include <utility>

#include "bitboard.h"
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

// Adds the trial of one enclosing direction, whose run is `run`.
void TallyRun(SquareSet run, const CellSets& cells, TrialTally& tally) {
  // The mover's discs with only this run turned; k enclosing directions count the mover's own
  // discs k times.
  tally.discs += CountSquares(cells.own | run);
  tally.measured = run;
}

// Adds the trial of `direction` if a disc on `square` encloses there.
template <int direction>
void TallyDirection(SquareSet square, const CellSets& cells, TrialTally& tally) {
  const SquareSet run = EnclosedRun<direction>(square, cells);
  if (run != 0) TallyRun(run, cells, tally);
}

// The same for a square that is known to enclose in `direction`: the run needs no closing test.
template <int direction>
void TallyKnownDirection(SquareSet square, const CellSets& cells, const LegalByDirection& legal,
                         TrialTally& tally) {
  if ((legal.enclosingTowards[direction] & square) == 0) return;
  SquareSet run = 0;
  for (SquareSet at = StepSquares(square, direction); (at & cells.opponent) != 0;
       at = StepSquares(at, direction)) {
    run |= at;
  }
  TallyRun(run, cells, tally);
}

// The tallies of all directions, taken in DirectionTable order, so that the last enclosing one is
// the one measured.
template <int... directions>
TrialTally TallyDirections(SquareSet square, const CellSets& cells,
                           std::integer_sequence<int, directions...>) {
  TrialTally tally = {0, 0};
  (TallyDirection<directions>(square, cells, tally), ...);  // in table order
  return tally;
}

// TallyDirections for a square whose enclosing directions `legal` tells.
template <int... directions>
TrialTally TallyKnownDirections(SquareSet square, const CellSets& cells,
                                const LegalByDirection& legal,
                                std::integer_sequence<int, directions...>) {
  TrialTally tally = {0, 0};
  (TallyKnownDirection<directions>(square, cells, legal, tally), ...);  // in table order
  return tally;
}

// The trial values from what the directions gave: the mobility of the last enclosing direction's
// trial position, which is the only one measured.
int TrialResult(const TrialTally& tally, const CellSets& cells, int& discs) {
  if (tally.measured == 0) return 0;
  discs = tally.discs;
  return MobilityOf(cells.own | tally.measured, cells.opponent & ~tally.measured, cells.empty);
}

using AllDirections = std::make_integer_sequence<int, DirectionCount>;

}  // namespace

int TryMoveOn(const CellSets& cells, int row, int col, int& discs) {
  const SquareSet square = SquareBit(row, col);
  if ((cells.empty & square) == 0) return 0;
  return TrialResult(TallyDirections(square, cells, AllDirections{}), cells, discs);
}

int TryMoveOn(const CellSets& cells, const LegalByDirection& legal, int row, int col, int& discs) {
  const SquareSet square = SquareBit(row, col);
  return TrialResult(TallyKnownDirections(square, cells, legal, AllDirections{}), cells, discs);
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
