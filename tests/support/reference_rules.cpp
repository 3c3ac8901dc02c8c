// Square-by-square rules over plain copies of the position; nothing here calls the rules code of
// src/board, so a fault there cannot hide in both.
#include "reference_rules.h"

#include <cstring>

namespace reversi::testing {

namespace {

struct Step {
  int row;
  int col;
};

// Clockwise from up: the order in which a trial measures its directions.
constexpr Step Steps[DirectionCount] = {{-1, 0}, {-1, 1}, {0, 1},  {1, 1},
                                        {1, 0},  {1, -1}, {0, -1}, {-1, -1}};

constexpr bool OnBoard(int row, int col) {
  return row >= 0 && row < BoardSize && col >= 0 && col < BoardSize;
}

constexpr Cell Other(Cell mover) {
  return mover == Black ? White : Black;
}

// How many discs of the other colour a disc of `mover` on (row, col) would enclose along `step`:
// the run must be closed by a disc of `mover`, else it counts 0.
int RunLength(const Position& position, int row, int col, Cell mover, Step step) {
  int r = row + step.row;
  int c = col + step.col;
  int run = 0;
  while (OnBoard(r, c) && position[r][c] == Other(mover)) {
    r += step.row;
    c += step.col;
    ++run;
  }
  return run > 0 && OnBoard(r, c) && position[r][c] == mover ? run : 0;
}

void TurnRun(Position& position, int row, int col, Cell mover, Step step, int run) {
  for (int k = 1; k <= run; ++k)
    position[row + k * step.row][col + k * step.col] = mover;
}

bool IsLegalOn(const Position& position, int row, int col, Cell mover) {
  if (position[row][col] != Empty) return false;
  for (const Step step : Steps) {
    if (RunLength(position, row, col, mover, step) > 0) return true;
  }
  return false;
}

int CountLegalOn(const Position& position, Cell mover) {
  int count = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col)
      count += IsLegalOn(position, row, col, mover) ? 1 : 0;
  }
  return count;
}

int MobilityOn(const Position& position, int side) {
  return CountLegalOn(position, OwnCell(side)) * MobilityRadix +
         CountLegalOn(position, OpponentCell(side));
}

int CountOn(const Position& position, Cell wanted) {
  int count = 0;
  for (const auto& line : position) {
    for (const Cell cell : line)
      count += cell == wanted ? 1 : 0;
  }
  return count;
}

}  // namespace

int PlayMoveByScan(const Position& from, int row, int col, Cell mover, Position& to) {
  std::memcpy(to, from, sizeof(Position));
  if (from[row][col] != Empty) return 0;
  int turned = 0;
  for (const Step step : Steps) {
    const int run = RunLength(from, row, col, mover, step);
    TurnRun(to, row, col, mover, step, run);
    turned += run;
  }
  if (turned > 0) to[row][col] = mover;
  return turned;
}

SquareSet LegalSquaresByScan(int side) {
  SquareSet legal = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (IsLegalOn(Board, row, col, OwnCell(side))) legal |= SquareBit(row, col);
    }
  }
  return legal;
}

int CountMobilityByScan(int side) {
  return MobilityOn(Board, side);
}

int GetTurnStatusByScan(int side) {
  if (CountLegalOn(Board, OwnCell(side)) > 0) return CanMove;
  if (CountLegalOn(Board, OpponentCell(side)) > 0) return MustPass;
  return GameOver;
}

int TryMoveByScan(int row, int col, int side, int& discs) {
  if (Board[row][col] != Empty) return 0;
  const Cell mover = OwnCell(side);
  int tally = 0;
  int mobility = 0;
  bool captured = false;
  for (const Step step : Steps) {
    const int run = RunLength(Board, row, col, mover, step);
    if (run == 0) continue;
    Position trial;
    std::memcpy(trial, Board, sizeof(Position));
    TurnRun(trial, row, col, mover, step, run);
    // The tally runs on across directions: k enclosing directions count the mover's discs k times.
    tally += CountOn(trial, mover);
    mobility = MobilityOn(trial, side);
    captured = true;
  }
  if (!captured) return 0;
  SaveBoard();
  discs = tally;
  return mobility;
}

}  // namespace reversi::testing
