// The square-by-square forms of mobility, turn status and the trial move.
#include "board/reference.h"

#include "board/board.h"

namespace reversi {

namespace {

// Counts the Empty squares on which `side` has a legal move.
int CountLegalSquares(int side) {
  int count = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (Board[row][col] == Empty && IsLegalMove(row, col, side)) ++count;
    }
  }
  return count;
}

// 1 when `side` has a legal move anywhere; stops at the first one, row by row.
int HasLegalMove(int side) {
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (Board[row][col] == Empty && IsLegalMove(row, col, side)) return 1;
    }
  }
  return 0;
}

}  // namespace

int CountMobilityByScan(int side) {
  return CountLegalSquares(side) * MobilityRadix + CountLegalSquares(OtherSide(side));
}

int GetTurnStatusByScan(int side) {
  if (HasLegalMove(side)) return CanMove;
  if (HasLegalMove(OtherSide(side))) return MustPass;
  return GameOver;
}

int TryMoveByScan(int row, int col, int side, int& discs) {
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
    mobility = CountMobilityByScan(side);
    RestoreBoard();
    captured = true;
  }
  if (!captured) return 0;
  discs = tally;
  return mobility;
}

}  // namespace reversi
