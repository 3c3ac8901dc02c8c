// The position text: a whole board and the side to move in one line, as engines and problem
// collections exchange positions.
#include "board/board.h"

namespace reversi {

namespace {

constexpr char BlackLetter = 'X';
constexpr char WhiteLetter = 'O';
constexpr char EmptyLetter = '-';

// The cell a character stands for; false when it stands for none.
bool ReadCellLetter(char c, Cell& cell) {
  switch (c) {
    case 'X':
    case 'x':
      cell = Black;
      return true;
    case 'O':
    case 'o':
      cell = White;
      return true;
    case '-':
    case '.':
      cell = Empty;
      return true;
    default:
      return false;
  }
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

PositionRead ReadPositionText(const char* text, int length, Position& position) {
  for (int i = 0; i < SquareCount; ++i) {
    if (i >= length || !ReadCellLetter(text[i], position.cells[i / BoardSize][i % BoardSize]))
      return {PositionFault::BadCell, i, 0};
  }
  int at = SquareCount;
  if (at >= length || !IsBlank(text[at])) return {PositionFault::NoSide, at, 0};
  while (at < length && IsBlank(text[at]))
    ++at;
  Cell side = Empty;
  if (at >= length || !ReadCellLetter(text[at], side) || side == Empty)
    return {PositionFault::NoSide, at, 0};
  position.side = side == Black ? 0 : 1;
  ++at;
  if (at < length && !IsBlank(text[at]) && text[at] != ';')
    return {PositionFault::JoinedText, at, 0};
  return {PositionFault::None, at, at};
}

void WritePositionText(const Position& position, char* out) {
  for (int i = 0; i < SquareCount; ++i) {
    const Cell cell = position.cells[i / BoardSize][i % BoardSize];
    out[i] = cell == Black ? BlackLetter : cell == White ? WhiteLetter : EmptyLetter;
  }
  out[SquareCount] = ' ';
  out[SquareCount + 1] = position.side == 0 ? BlackLetter : WhiteLetter;
}

}  // namespace reversi
