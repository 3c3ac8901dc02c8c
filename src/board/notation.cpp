// Move notation: the one spelling of a move shared by game records, given opening moves and the
// engine protocols.
#include "board/board.h"

namespace reversi {

namespace {

constexpr char FirstColumnLetter = 'a';
constexpr char FirstRowDigit = '1';

constexpr char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

void WriteMoveText(int square, char* out) {
  if (square == NoSquareCode) {
    out[0] = PassMoveText[0];
    out[1] = PassMoveText[1];
    return;
  }
  out[0] = static_cast<char>(FirstColumnLetter + SquareColumn(square));
  out[1] = static_cast<char>(FirstRowDigit + SquareRow(square));
}

int ReadMoveText(char first, char second) {
  if (Lower(first) == Lower(PassMoveText[0]) && Lower(second) == Lower(PassMoveText[1]))
    return NoSquareCode;
  const int col = Lower(first) - FirstColumnLetter;
  const int row = second - FirstRowDigit;
  if (col < 0 || col > LastIndex || row < 0 || row > LastIndex) return NotAMove;
  return SquareCode(row, col);
}

}  // namespace reversi
