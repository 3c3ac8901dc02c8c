// The game an engine protocol plays: the position on the Board, whose turn it is, and every earlier
// position of the game, so that moves can be taken back. Private to src/engine.
#pragma once

#include "board/board.h"

namespace reversi::engine {

// Starts a game on the Board from `start` (nullptr: the usual four discs), black to move there
// unless `start` says otherwise; the turns already taken are counted from the discs.
void StartLine(const Position* start);

// The side to move now.
int LineSide();

// Plays `square` (a SquareCode, or NoSquareCode for a pass) for `side`, which then becomes the
// other side's turn. A pass is legal only for a side without a move. False, with nothing changed,
// for an illegal move or when the game has grown longer than the line can hold.
bool PlayOnLine(int side, int square);

// Takes the last move or pass back; false when there is none.
bool TakeBackOnLine();

// Keeps a copy of the whole line, which BringBackLine restores: for reading a game that may turn
// out to be broken half-way without losing the one before it.
void KeepLine();
void BringBackLine();

}  // namespace reversi::engine
