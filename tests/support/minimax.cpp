// Plain minimax: every legal move is played with PlaceDisc and taken back by a copy of the Board.
// Only the legal squares are tried, so that a few hundred whole trees take seconds, not minutes.
#include "minimax.h"

#include <bit>
#include <cstring>

#include "board/board.h"

namespace reversi::testing {

int SolveByMinimax(int side, Count count) {
  const int status = GetTurnStatus(side);
  if (status == GameOver) {
    const int difference = CountCells(OwnCell(side)) - CountCells(OpponentCell(side));
    const int empties = count == Count::EmptiesToWinner ? CountCells(Empty) : 0;
    return difference > 0 ? difference + empties : difference < 0 ? difference - empties : 0;
  }
  if (status == MustPass) return -SolveByMinimax(OtherSide(side), count);
  Cell kept[BoardSize][BoardSize];
  std::memcpy(kept, Board, sizeof kept);
  int best = -SquareCount - 1;
  for (SquareSet legal = LegalSquares(side); legal != 0; legal &= legal - 1) {
    const int square = std::countr_zero(legal);
    PlaceDisc(square / BoardSize, square % BoardSize, side);
    const int score = -SolveByMinimax(OtherSide(side), count);
    if (score > best) best = score;
    std::memcpy(Board, kept, sizeof kept);
  }
  return best;
}

}  // namespace reversi::testing
