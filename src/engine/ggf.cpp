// The GGF reader: a small scanner over property names and bracketed values, with "\" escaping
// the next character inside a value.
#include "ggf.h"

#include "channel.h"

namespace reversi::engine {

namespace {

// The longest property value kept (a move with its evaluation and time, or a whole board); the
// values of other properties (comments, names) are skipped whatever their length.
constexpr int ValueCapacity = 160;
constexpr int NameCapacity = 4;

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the BO value: the size, then the cells and the side to move, blanks anywhere between.
bool ReadBoard(const char* value, Position& start) {
  while (IsBlank(*value))
    ++value;
  if (value[0] != '8' || !IsBlank(value[1])) return false;
  ++value;
  int cells = 0;
  bool sideRead = false;
  for (; *value != '\0'; ++value) {
    if (IsBlank(*value)) continue;
    Cell cell = Empty;
    switch (*value) {
      case '*':
      case 'X':
      case 'x':
        cell = Black;
        break;
      case 'O':
      case 'o':
        cell = White;
        break;
      case '-':
      case '.':
        cell = Empty;
        break;
      default:
        return false;
    }
    if (cells < SquareCount) {
      start.cells[cells / BoardSize][cells % BoardSize] = cell;
      ++cells;
    } else if (!sideRead && cell != Empty) {
      start.side = cell == Black ? 0 : 1;
      sideRead = true;
    } else {
      return false;
    }
  }
  return cells == SquareCount && sideRead;
}

}  // namespace

bool ReadGgfGame(const char* text, GgfGame& game) {
  game.moveCount = 0;
  bool boardRead = false;
  char name[NameCapacity + 1] = {};
  int nameLength = 0;
  for (const char* at = text; *at != '\0'; ++at) {
    if (IsUpper(*at)) {
      if (nameLength < NameCapacity) name[nameLength] = *at;
      ++nameLength;
      continue;
    }
    if (*at != '[') {
      nameLength = 0;
      continue;
    }
    // A value: kept up to ValueCapacity characters, read to its unescaped ']'.
    char value[ValueCapacity + 1];
    int length = 0;
    for (++at; *at != ']'; ++at) {
      if (*at == '\\' && at[1] != '\0') ++at;
      if (*at == '\0') return false;
      if (length < ValueCapacity) value[length++] = *at;
    }
    value[length] = '\0';
    const int nameUsed = nameLength <= NameCapacity ? nameLength : 0;
    name[nameUsed] = '\0';
    nameLength = 0;
    if (SameWord(name, "BO")) {
      if (!ReadBoard(value, game.start)) return false;
      boardRead = true;
    } else if (SameWord(name, "B") || SameWord(name, "W")) {
      const int square = ReadEngineMove(value);
      if (square == NotAMove || game.moveCount == GgfMoveCapacity) return false;
      game.moves[game.moveCount++] = {name[0] == 'B' ? 0 : 1, square};
    }
  }
  return boardRead;
}

}  // namespace reversi::engine
