// The board screen and the result screen.
#include "board/board.h"
#include "game/game.h"
#include "game/texts.h"
#include "platform/console.h"

namespace reversi {

namespace {

// The column numbers are printed two columns wide, like the glyphs below them.
constexpr int ColumnNumberWidth = 2;
constexpr int CountWidth = 2;

const char* GlyphOf(Cell cell) {
  switch (cell) {
    case Empty:
      return texts::EmptyGlyph;
    case Black:
      return texts::BlackGlyph;
    case White:
      return texts::WhiteGlyph;
  }
  return texts::InvalidGlyph;
}

}  // namespace

void DrawBoard(int side) {
  using platform::WriteText;
  platform::ClearScreen();
  WriteText(texts::CoordinateHint);
  WriteText(texts::BreakOffHint);
  WriteText(side == 0 ? texts::TurnBlackLine : texts::TurnWhiteLine);
  WriteText(" ");
  for (int col = 0; col < BoardSize; ++col)
    platform::WriteNumber(col + 1, ColumnNumberWidth);
  WriteText("\n");
  for (int row = 0; row < BoardSize; ++row) {
    platform::WriteNumber((row + 1) * SquareCodeRadix);
    for (int col = 0; col < BoardSize; ++col)
      WriteText(GlyphOf(Board[row][col]));
    WriteText("\n");
  }
}

void ShowResult(int side) {
  using platform::WriteText;
  const int black = CountCells(Black);
  const int white = CountCells(White);
  DrawBoard(side);
  if (black > white) {
    WriteText(texts::BlackWinsLine);
  } else if (white > black) {
    WriteText(texts::WhiteWinsLine);
  } else {
    WriteText(texts::DrawText);  // no line end: the counts follow on the same line
  }
  WriteText(texts::BlackCountLead);
  platform::WriteNumber(black, CountWidth);
  WriteText(texts::WhiteCountLead);
  platform::WriteNumber(white, CountWidth);
  WriteText(texts::CountTail);
  WriteText(texts::FinalPrompt);
}

}  // namespace reversi
