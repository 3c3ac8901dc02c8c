// The rules of Reversi over the one Board: enclosing, flipping, legality, mobility, playing a move
// and the turn status.
#include "board/board.h"

namespace reversi {

namespace {

constexpr bool OnBoard(int row, int col) {
  return row >= 0 && row <= LastIndex && col >= 0 && col <= LastIndex;
}

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

int CanCaptureInDirection(int row, int col, int side, int direction) {
  const Cell own = OwnCell(side);
  const Cell other = OpponentCell(side);
  bool found = false;
  for (;;) {
    row += DirectionTable.rowStep[direction];
    col += DirectionTable.colStep[direction];
    if (!OnBoard(row, col)) return 0;
    const Cell cell = Board[row][col];
    if (cell == other) {
      found = true;
    } else {
      // An own disc closes the run; Empty (or a damaged cell) breaks it.
      return (cell == own && found) ? 1 : 0;
    }
  }
}

void FlipInDirection(int row, int col, int side, int direction) {
  const Cell own = OwnCell(side);
  for (;;) {
    row += DirectionTable.rowStep[direction];
    col += DirectionTable.colStep[direction];
    if (Board[row][col] == own) return;
    Board[row][col] = own;
  }
}

int IsLegalMove(int row, int col, int side) {
  for (int direction = 0; direction < DirectionCount; ++direction) {
    if (CanCaptureInDirection(row, col, side, direction)) return 1;
  }
  return 0;
}

int CountMobility(int side) {
  return CountLegalSquares(side) * MobilityRadix + CountLegalSquares(OtherSide(side));
}

int PlaceDisc(int row, int col, int side) {
  if (Board[row][col] != Empty) return 0;
  bool placed = false;
  for (int direction = 0; direction < DirectionCount; ++direction) {
    if (CanCaptureInDirection(row, col, side, direction)) {
      FlipInDirection(row, col, side, direction);
      placed = true;
    }
  }
  if (!placed) return 0;
  Board[row][col] = OwnCell(side);
  return 1;
}

int GetTurnStatus(int side) {
  if (HasLegalMove(side)) return CanMove;
  if (HasLegalMove(OtherSide(side))) return MustPass;
  return GameOver;
}

}  // namespace reversi
