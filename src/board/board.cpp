// The position, its snapshot and the per-game counters.
#include "board/board.h"

#include <climits>

namespace reversi {

Cell Board[BoardSize][BoardSize];
Cell SavedBoard[BoardSize][BoardSize];
int MoveCount;
int PassFlag;

namespace {

constexpr int CentreLow = BoardSize / 2 - 1;
constexpr int CentreHigh = BoardSize / 2;

void CopyCells(Cell (&to)[BoardSize][BoardSize], const Cell (&from)[BoardSize][BoardSize]) {
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      to[row][col] = from[row][col];
    }
  }
}

}  // namespace

void InitBoard() {
  for (auto& line : Board) {
    for (Cell& cell : line)
      cell = Empty;
  }
  Board[CentreLow][CentreLow] = White;
  Board[CentreLow][CentreHigh] = Black;
  Board[CentreHigh][CentreLow] = Black;
  Board[CentreHigh][CentreHigh] = White;
}

void AdvanceMoveCount() {
  if (MoveCount < INT_MAX) ++MoveCount;
}

void CopyBoard(int mode) {
  if (mode == SaveMode) {
    CopyCells(SavedBoard, Board);
  } else if (mode == RestoreMode) {
    CopyCells(Board, SavedBoard);
  }
}

int CountCells(Cell cell) {
  int count = 0;
  for (const auto& line : Board) {
    for (Cell c : line)
      count += (c == cell) ? 1 : 0;
  }
  return count;
}

BoardState ReadBoardState() {
  BoardState state;
  CopyCells(state.cells, Board);
  state.moveCount = MoveCount;
  state.passFlag = PassFlag;
  return state;
}

void WriteBoardState(const BoardState& state) {
  CopyCells(Board, state.cells);
  MoveCount = state.moveCount;
  PassFlag = state.passFlag;
}

void ResetBoardState() {
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      Board[row][col] = Empty;
      SavedBoard[row][col] = Empty;
    }
  }
  MoveCount = 0;
  PassFlag = 0;
}

}  // namespace reversi
