// The position as bit sets (one 64-bit set per kind of cell), and the legal squares of a whole
// position found for all squares at once. Private to src/board.
#pragma once

#include "board/board.h"

namespace reversi {

inline constexpr SquareSet FirstColumn = 0x0101010101010101;
inline constexpr SquareSet LastColumn = FirstColumn << LastIndex;

// Moves every square of `set` one step in `direction` (DirectionTable order); squares that would
// leave the board are dropped.
constexpr SquareSet StepSquares(SquareSet set, int direction) {
  const int rowStep = DirectionTable.rowStep[direction];
  const int colStep = DirectionTable.colStep[direction];
  // A square leaving the board sideways would come back in the next row, so it is dropped first;
  // squares leaving at the top or the bottom are shifted out of the 64 bits.
  if (colStep > 0) set &= ~LastColumn;
  if (colStep < 0) set &= ~FirstColumn;
  const int shift = rowStep * BoardSize + colStep;
  return shift >= 0 ? set << shift : set >> -shift;
}

// The empty squares from which a disc of the `own` side would enclose a run of `opponent` discs in
// some direction: the legal squares of that side.
SquareSet LegalSquaresOf(SquareSet own, SquareSet opponent, SquareSet empty);

// The opponent discs that a disc of the side the sets were read for, set on the one square of
// `from`, would enclose towards `direction`; empty when that direction encloses nothing. Inline, so
// that a loop over the directions can be unrolled with each step's shift a constant.
constexpr SquareSet EnclosedRun(const CellSets& cells, SquareSet from, int direction) {
  SquareSet run = 0;
  SquareSet at = StepSquares(from, direction);  // empty once a step leaves the board
  while ((at & cells.opponent) != 0) {
    run |= at;
    at = StepSquares(at, direction);
  }
  return (at & cells.own) != 0 ? run : 0;
}

// Both sides' legal-square counts, packed like CountMobility: own * MobilityRadix + other.
int MobilityOf(SquareSet own, SquareSet opponent, SquareSet empty);

}  // namespace reversi
