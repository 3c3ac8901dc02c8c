// The rules of Reversi over the one Board, square by square: enclosing, flipping, legality and
// playing a move. Mobility and the turn status are served from bit sets (bitboard.cpp).
#include <array>
#include <utility>

#include "board/board.h"

namespace reversi {

namespace {

constexpr bool OnBoard(int row, int col) {
  // Negative values wrap around to large unsigned ones, so one comparison covers both bounds.
  constexpr auto Size = static_cast<unsigned>(BoardSize);
  return static_cast<unsigned>(row) < Size && static_cast<unsigned>(col) < Size;
}

// The enclosing test and the flip, one instance per direction so that the steps are constants;
// CanCaptureInDirection and FlipInDirection pick the instance, PlaceDisc runs through all eight.
template <int direction>
int CanCaptureTowards(int row, int col, int side) {
  constexpr int rowStep = DirectionTable.rowStep[direction];
  constexpr int colStep = DirectionTable.colStep[direction];
  const Cell own = OwnCell(side);
  const Cell other = OpponentCell(side);
  bool found = false;
  for (;;) {
    row += rowStep;
    col += colStep;
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

template <int direction>
void FlipTowards(int row, int col, int side) {
  constexpr int rowStep = DirectionTable.rowStep[direction];
  constexpr int colStep = DirectionTable.colStep[direction];
  const Cell own = OwnCell(side);
  for (;;) {
    row += rowStep;
    col += colStep;
    if (Board[row][col] == own) return;
    Board[row][col] = own;
  }
}

// Turns the run in `direction` if there is one; true when it did.
template <int direction>
bool FlipIfEnclosed(int row, int col, int side) {
  if (!CanCaptureTowards<direction>(row, col, side)) return false;
  FlipTowards<direction>(row, col, side);
  return true;
}

// The per-direction instances in DirectionTable order, for picking one by a direction number.
template <int... directions>
constexpr auto CaptureTests(std::integer_sequence<int, directions...>) {
  return std::array{&CanCaptureTowards<directions>...};
}
template <int... directions>
constexpr auto Flips(std::integer_sequence<int, directions...>) {
  return std::array{&FlipTowards<directions>...};
}
// Turns the runs of every enclosing direction for a disc of `side` on (row, col); true when there
// was at least one. The square itself is left alone.
template <int... directions>
bool FlipAllEnclosed(int row, int col, int side, std::integer_sequence<int, directions...>) {
  // Every direction is tried, in table order, also after one has enclosed.
  bool flipped = false;
  ((flipped |= FlipIfEnclosed<directions>(row, col, side)), ...);
  return flipped;
}

using AllDirections = std::make_integer_sequence<int, DirectionCount>;

}  // namespace

int CanCaptureInDirection(int row, int col, int side, int direction) {
  static constexpr auto Tests = CaptureTests(AllDirections{});
  return Tests[direction](row, col, side);
}

void FlipInDirection(int row, int col, int side, int direction) {
  static constexpr auto Turns = Flips(AllDirections{});
  Turns[direction](row, col, side);
}

int IsLegalMove(int row, int col, int side) {
  for (int direction = 0; direction < DirectionCount; ++direction) {
    if (CanCaptureInDirection(row, col, side, direction)) return 1;
  }
  return 0;
}

int PlaceDisc(int row, int col, int side) {
  if (Board[row][col] != Empty) return 0;
  if (!FlipAllEnclosed(row, col, side, AllDirections{})) return 0;
  Board[row][col] = OwnCell(side);
  return 1;
}

}  // namespace reversi
