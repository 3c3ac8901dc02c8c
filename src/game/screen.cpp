// The board screen and the result screen.
#include "board/board.h"
#include "game/game.h"
#include "game/settings.h"
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
  const texts::TextSet& text = Texts();
  WriteText(text.coordinateHint);
  WriteText(text.breakOffHint);
  WriteText(side == 0 ? text.turnBlackLine : text.turnWhiteLine);
  const SquareSet hints = HintSquares();
  WriteText(" ");
  for (int col = 0; col < BoardSize; ++col)
    platform::WriteNumber(col + 1, ColumnNumberWidth);
  WriteText("\n");
  for (int row = 0; row < BoardSize; ++row) {
    platform::WriteNumber((row + 1) * SquareCodeRadix);
    for (int col = 0; col < BoardSize; ++col) {
      const bool hinted = hints != 0 && (hints & SquareBit(row, col)) != 0;
      WriteText(hinted ? texts::HintGlyph : GlyphOf(Board[row][col]));
    }
    WriteText("\n");
  }
  WriteLastMoveLine();
}

void ShowResult(int side) {
  using platform::WriteText;
  const int black = CountCells(Black);
  const int white = CountCells(White);
  const texts::TextSet& text = Texts();
  DrawBoard(side);
  if (black > white) {
    WriteText(text.blackWinsLine);
  } else if (white > black) {
    WriteText(text.whiteWinsLine);
  } else {
    WriteText(text.drawText);  // no line end: the counts follow on the same line
  }
  WriteText(text.blackCountLead);
  platform::WriteNumber(black, CountWidth);
  WriteText(text.whiteCountLead);
  platform::WriteNumber(white, CountWidth);
  WriteText(text.countTail);
  WriteText(text.finalPrompt);
}

}  // namespace reversi
