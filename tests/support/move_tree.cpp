// The move-tree count: every legal move is played with PlaceDisc and taken back by a copy of the
// Board; the last ply is counted with CountMobility instead of being played.
#include "move_tree.h"

#include <cstring>

#include "board/board.h"

namespace reversi::testing {

std::uint64_t CountMoveTreeLeaves(int side, int depth) {
  if (depth == 0) return 1;
  const int status = GetTurnStatus(side);
  if (status == GameOver) return 1;
  if (status == MustPass) return CountMoveTreeLeaves(OtherSide(side), depth - 1);
  if (depth == 1) return static_cast<std::uint64_t>(CountMobility(side) / MobilityRadix);
  Cell kept[BoardSize][BoardSize];
  std::memcpy(kept, Board, sizeof kept);
  std::uint64_t leaves = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (!PlaceDisc(row, col, side)) continue;
      leaves += CountMoveTreeLeaves(OtherSide(side), depth - 1);
      std::memcpy(Board, kept, sizeof kept);
    }
  }
  return leaves;
}

}  // namespace reversi::testing
