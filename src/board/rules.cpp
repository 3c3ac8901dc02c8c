// The rules of Reversi over the one Board: the enclosing test and the flip of one direction, taken
// square by square, and legality and playing a move, served from the bit sets (bitboard.cpp).
#include <bit>

#include "board/board.h"

namespace reversi {

namespace {

constexpr bool OnBoard(int row, int col) {
  return row >= 0 && row < BoardSize && col >= 0 && col < BoardSize;
}

}  // namespace

int CanCaptureInDirection(int row, int col, int side, int direction) {
  const int rowStep = DirectionTable.rowStep[direction];
  const int colStep = DirectionTable.colStep[direction];
  bool found = false;
  for (row += rowStep, col += colStep; OnBoard(row, col); row += rowStep, col += colStep) {
    const Cell cell = Board[row][col];
    if (cell != OpponentCell(side)) {
      // An own disc closes the run; Empty (or a damaged cell) breaks it.
      return cell == OwnCell(side) && found ? 1 : 0;
    }
    found = true;
  }
  return 0;
}

void FlipInDirection(int row, int col, int side, int direction) {
  const int rowStep = DirectionTable.rowStep[direction];
  const int colStep = DirectionTable.colStep[direction];
  for (row += rowStep, col += colStep; Board[row][col] != OwnCell(side);
       row += rowStep, col += colStep) {
    Board[row][col] = OwnCell(side);
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
  const SquareSet turned = TurnedSquares(ReadCellSets(side), row, col);
  if (turned == 0) return 0;
  for (SquareSet left = turned | SquareBit(row, col); left != 0; left &= left - 1) {
    const int index = std::countr_zero(left);
    Board[index / BoardSize][index % BoardSize] = OwnCell(side);
  }
  return 1;
}

}  // namespace reversi
