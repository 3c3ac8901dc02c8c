// The rules of Reversi over the one Board, square by square: enclosing, flipping, legality and
// playing a move. Mobility and the turn status are served from bit sets (bitboard.cpp).
#include "board/board.h"

namespace reversi {

namespace {

constexpr bool OnBoard(int row, int col) {
  return row >= 0 && row <= LastIndex && col >= 0 && col <= LastIndex;
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

}  // namespace reversi
