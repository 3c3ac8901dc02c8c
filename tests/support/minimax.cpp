// Plain minimax: every legal move is played with PlaceDisc and taken back by a copy of the Board.
// Only the legal squares are tried, so that a few hundred whole trees take seconds, not minutes.
#include "minimax.h"

#include <bit>
#include <cstring>

#include "board/board.h"

namespace reversi::testing {

int SolveByMinimax(int side) {
  const int status = GetTurnStatus(side);
  if (status == GameOver) return CountCells(OwnCell(side)) - CountCells(OpponentCell(side));
  if (status == MustPass) return -SolveByMinimax(OtherSide(side));
  Cell kept[BoardSize][BoardSize];
  std::memcpy(kept, Board, sizeof kept);
  int best = -SquareCount - 1;
  for (SquareSet legal = LegalSquares(side); legal != 0; legal &= legal - 1) {
    const int square = std::countr_zero(legal);
    PlaceDisc(square / BoardSize, square % BoardSize, side);
    const int score = -SolveByMinimax(OtherSide(side));
    if (score > best) best = score;
    std::memcpy(Board, kept, sizeof kept);
  }
  return best;
}

}  // namespace reversi::testing
