// The trial move by which the COM measures a square, worked on the bit sets of the Board: a trial
// position is the sets with one run moved from the opponent to the mover, so the Board itself is
// never changed and never copied back.
#include "bitboard.h"
#include "board/board.h"

namespace reversi {

namespace {

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

// The trial values from what the directions gave: the mobility of the last enclosing direction's
// trial position, which is the only one measured.
int TrialResult(const TrialTally& tally, const CellSets& cells, int& discs) {
  if (tally.measured == 0) return 0;
  discs = tally.discs;
  return MobilityOf(cells.own | tally.measured, cells.opponent & ~tally.measured, cells.empty);
}

}  // namespace

int TryMoveOn(const CellSets& cells, int row, int col, int& discs) {
  const SquareSet square = SquareBit(row, col);
  if ((cells.empty & square) == 0) return 0;
  // The directions are taken in DirectionTable order, so that the last enclosing one is measured.
  TrialTally tally = {0, 0};
  for (int direction = 0; direction < DirectionCount; ++direction) {
    const SquareSet run = EnclosedRun(cells, square, direction);
    if (run != 0) TallyRun(run, cells, tally);
  }
  return TrialResult(tally, cells, discs);
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
