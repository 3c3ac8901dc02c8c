// The engine's game: the Board and counters as the console game keeps them, and a stack of the
// earlier states for taking moves back.
#include "game_line.h"

#include "board/board.h"

namespace reversi::engine {

namespace {

// Sixty moves and at most as many passes fit, with room to spare for a controller that passes more.
constexpr int LineCapacity = 4 * SquareCount;
constexpr int StartDiscs = 4;

struct Turn {
  BoardState state;
  int side;
};

struct Line {
  Turn earlier[LineCapacity];
  int earlierCount;
  int sideToMove;
  BoardState now;
};

Line line = {};
Line kept = {};

}  // namespace

void StartLine(const Position* start) {
  line.earlierCount = 0;
  MoveCount = 0;
  PassFlag = 0;
  line.sideToMove = 0;
  if (start == nullptr) {
    InitBoard();
    return;
  }
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col)
      Board[row][col] = start->cells[row][col];
  }
  const int discs = CountCells(Black) + CountCells(White);
  MoveCount = discs > StartDiscs ? discs - StartDiscs : 0;
  line.sideToMove = start->side;
}

int LineSide() {
  return line.sideToMove;
}

bool PlayOnLine(int side, int square) {
  if (line.earlierCount == LineCapacity) return false;
  const BoardState before = ReadBoardState();
  if (square == NoSquareCode) {
    if (LegalSquares(side) != 0) return false;
    PassFlag = 1;
  } else {
    if (!PlaceDisc(SquareRow(square), SquareColumn(square), side)) return false;
    PassFlag = 0;
  }
  AdvanceMoveCount();
  line.earlier[line.earlierCount++] = {before, line.sideToMove};
  line.sideToMove = OtherSide(side);
  return true;
}

bool TakeBackOnLine() {
  if (line.earlierCount == 0) return false;
  const Turn& last = line.earlier[--line.earlierCount];
  WriteBoardState(last.state);
  line.sideToMove = last.side;
  return true;
}

void KeepLine() {
  line.now = ReadBoardState();
  kept = line;
}

void BringBackLine() {
  line = kept;
  WriteBoardState(line.now);
}

}  // namespace reversi::engine
