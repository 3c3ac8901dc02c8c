// The bit-parallel view of the Board, and the rules routines that are served from it: legal
// squares, mobility and the turn status.
#include "bitboard.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace reversi {

namespace {

// Opponent discs in a line: at most this many fit between a legal square and the own disc.
constexpr int LongestRun = BoardSize - 2;

// How far one step in `direction` moves a square's bit.
template <int direction>
constexpr int StepShift =
    DirectionTable.rowStep[direction] * BoardSize + DirectionTable.colStep[direction];

// Moves every square of `set` one step in `direction` with no edge test: only for sets whose
// squares cannot leave the board sideways in that direction (see EnclosableIn).
template <int direction>
constexpr SquareSet ShiftSquares(SquareSet set, int steps = 1) {
  constexpr int shift = StepShift<direction>;
  return shift >= 0 ? set << (shift * steps) : set >> (-shift * steps);
}

// The discs of `opponent` that can lie inside a run in `direction`: a run that moves sideways has
// a disc on both sides of each of its discs, so it never holds one on the first or last column.
// Shifting such a set sideways therefore never wraps a square into the next row.
template <int direction>
constexpr SquareSet EnclosableIn(SquareSet opponent) {
  constexpr SquareSet OuterColumns = FirstColumn | LastColumn;
  return DirectionTable.colStep[direction] == 0 ? opponent : opponent & ~OuterColumns;
}

// For every line of opponent discs that starts next to an own disc and runs in `direction`: the
// square one step beyond its far end, where an empty square is legal, since a disc there would
// enclose the line looking back. The set may also hold squares of the lines themselves, which are
// never empty.
template <int direction>
SquareSet BeyondLines(SquareSet own, SquareSet opponent) {
  const SquareSet inner = EnclosableIn<direction>(opponent);
  if constexpr (StepShift<direction> == 1) {
    // A step is one bit up: adding a line's first disc to the inner discs carries through the
    // whole line and leaves a bit just beyond it (the carry trick of bit-board move generation).
    // The other inner discs stay in the sum, and the mask takes them out again.
    return ((ShiftSquares<direction>(own) & inner) + inner) & ~inner;
  } else {
    // The line is grown by doubling, the "parallel prefix" (Kogge-Stone) form of the usual
    // bit-board move generation: one step, two, then twice two steps at a time, which covers
    // every run length up to LongestRun in four shifts instead of six.
    SquareSet run = ShiftSquares<direction>(own) & inner;  // lines of 1
    run |= ShiftSquares<direction>(run) & inner;           // lines of up to 2
    // Inner discs whose neighbour one step back is an inner disc too: a line can grow by two
    // there.
    const SquareSet pairs = inner & ShiftSquares<direction>(inner);
    run |= ShiftSquares<direction>(run, 2) & pairs;  // lines of up to 4
    run |= ShiftSquares<direction>(run, 2) & pairs;  // lines of up to 6
    static_assert(LongestRun == 6, "the doubling above reaches exactly the longest line");
    return ShiftSquares<direction>(run);
  }
}

// The squares beyond the lines of all directions, of which the empty ones are the legal squares.
// The direction is a template argument so that every step is compiled with its shift and edge
// mask as constants.
template <int... directions>
SquareSet LegalSquaresIn(SquareSet own, SquareSet opponent, SquareSet empty,
                         std::integer_sequence<int, directions...>) {
  return (BeyondLines<directions>(own, opponent) | ...) & empty;
}

}  // namespace

CellSets ReadCellSets(int side) {
  CellSets cells = {0, 0, 0};
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      const Cell cell = Board[row][col];
      // A damaged cell (none of the three values) goes into no set.
      if (cell == OwnCell(side)) cells.own |= SquareBit(row, col);
      if (cell == OpponentCell(side)) cells.opponent |= SquareBit(row, col);
      if (cell == Empty) cells.empty |= SquareBit(row, col);
    }
  }
  return cells;
}

SquareSet LegalSquaresOf(SquareSet own, SquareSet opponent, SquareSet empty) {
  return LegalSquaresIn(own, opponent, empty, std::make_integer_sequence<int, DirectionCount>{});
}

int MobilityOf(SquareSet own, SquareSet opponent, SquareSet empty) {
  return CountSquares(LegalSquaresOf(own, opponent, empty)) * MobilityRadix +
         CountSquares(LegalSquaresOf(opponent, own, empty));
}

SquareSet LegalSquares(int side) {
  return LegalSquares(ReadCellSets(side));
}

SquareSet LegalSquares(const CellSets& cells) {
  return LegalSquaresOf(cells.own, cells.opponent, cells.empty);
}

SquareSet TurnedSquares(const CellSets& cells, int row, int col) {
  SquareSet turned = 0;
  // Unrolled so that every direction's shifts and edge masks are constants: the search plays each
  // of its moves through here, and runs measurably slower with a plain loop (docs/development.md).
#pragma GCC unroll 8
  for (int direction = 0; direction < DirectionCount; ++direction)
    turned |= EnclosedRun(cells, SquareBit(row, col), direction);
  return turned;
}

SquareSet NeighbourSquares(SquareSet set) {
  SquareSet neighbours = 0;
  for (int direction = 0; direction < DirectionCount; ++direction)
    neighbours |= StepSquares(set, direction);
  return neighbours;
}

int CountMobility(int side) {
  const CellSets cells = ReadCellSets(side);
  return MobilityOf(cells.own, cells.opponent, cells.empty);
}

int GetTurnStatus(int side) {
  const CellSets cells = ReadCellSets(side);
  if (LegalSquaresOf(cells.own, cells.opponent, cells.empty) != 0) return CanMove;
  if (LegalSquaresOf(cells.opponent, cells.own, cells.empty) != 0) return MustPass;
  return GameOver;
}

}  // namespace reversi
