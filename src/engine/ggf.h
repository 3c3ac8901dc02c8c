// Games in the Generic Game Format as board programs send them: the start board (BO) and the moves
// (B, W) of an Othello game, other properties skipped. Private to src/engine.
#pragma once

#include "board/board.h"

namespace reversi::engine {

// The most moves a game read from GGF may hold, passes included.
inline constexpr int GgfMoveCapacity = 2 * SquareCount;

struct GgfMove {
  int side;
  int square;  // SquareCode, NoSquareCode for a pass
};

struct GgfGame {
  Position start;
  GgfMove moves[GgfMoveCapacity];
  int moveCount;
};

// Reads a game from `text` (NUL-terminated): "(;" properties ";)", where BO[8 <64 cells> <side>]
// gives the start ('*' or 'X' black, 'O' white, '-' empty; '*' or 'O' to move) and every B[move]
// or W[move] a move ("f5", "F5/1.00/2.5", "PA"). False when the text is no such game: no board,
// a board of another size, a move that names no square, too many moves, or an unclosed value.
// The moves are not checked against the rules here.
bool ReadGgfGame(const char* text, GgfGame& game);

}  // namespace reversi::engine
