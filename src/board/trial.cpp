// The trial move by which the COM measures a square.
#include "board/board.h"

namespace reversi {

namespace {

// The number of cells holding `cell`.
int CountCells(Cell cell) {
  int count = 0;
  for (const auto& line : Board) {
    for (Cell c : line)
      count += (c == cell) ? 1 : 0;
  }
  return count;
}

}  // namespace

int TryMove(int row, int col, int side, int& discs) {
  if (Board[row][col] != Empty) return 0;
  int tally = 0;
  int mobility = 0;
  bool captured = false;
  for (int direction = 0; direction < DirectionCount; ++direction) {
    if (!CanCaptureInDirection(row, col, side, direction)) continue;
    SaveBoard();
    FlipInDirection(row, col, side, direction);
    // The tally runs on across directions: k enclosing directions count the mover's discs k times.
    tally += CountCells(OwnCell(side));
    mobility = CountMobility(side);
    RestoreBoard();
    captured = true;
  }
  if (!captured) return 0;
  discs = tally;
  return mobility;
}

}  // namespace reversi
