// The rules of Reversi written out square by square, as plainly as they are stated: a move with
// its flips, the legal squares, mobility, the turn status and the COM's trial move. Tests hold the
// game's own routines against them; they share only the types and the Board with src/board.
#pragma once

#include "board/board.h"

namespace reversi::testing {

using Position = Cell[BoardSize][BoardSize];

// Plays (row, col) for `mover` (Black or White) on a copy of `from` written to `to`. Returns the
// number of discs turned; 0 when the square is occupied or encloses nothing, `to` then equal to
// `from`.
int PlayMoveByScan(const Position& from, int row, int col, Cell mover, Position& to);

// The Empty squares of the Board on which `side` could play.
SquareSet LegalSquaresByScan(int side);

// Legal squares of `side` and of the other side on the Board, packed as CountMobility packs them.
int CountMobilityByScan(int side);

// Whether `side` can move, must pass, or neither side can move, on the Board.
int GetTurnStatusByScan(int side);

// The trial move on the Board as the COM's ranking is built on it: for every enclosing direction,
// clockwise from up, a copy of the Board with that run alone turned (the square itself stays
// Empty) adds the mover's discs to the tally and has its mobility taken. Returns the mobility of
// the last enclosing direction, or 0 (with `discs` not written) when nothing encloses. Like
// TryMove, a trial that encloses leaves the snapshot holding the Board.
int TryMoveByScan(int row, int col, int side, int& discs);

}  // namespace reversi::testing
