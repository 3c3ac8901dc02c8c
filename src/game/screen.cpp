// The board screen and the result screen. In colour (--color) each run of cells of the same
// colours is led by one SGR sequence, and every row ends with the reset.
#include "board/board.h"
#include "coach.h"
#include "game/game.h"
#include "notes.h"
#include "platform/console.h"
#include "settings.h"
#include "texts.h"

namespace reversi {

namespace {

// The column numbers are printed two columns wide, like the glyphs below them.
constexpr int ColumnNumberWidth = 2;
constexpr int CountWidth = 2;

// The glyph of a cell: a disc, an empty square, or the mark of a damaged cell (any other value).
const char* CellGlyph(Cell cell) {
  const bool ascii = GameSettings.ascii;
  switch (cell) {
    case Empty:
      return ascii ? texts::common::AsciiEmptyCell : texts::common::EmptyGlyph;
    case Black:
      return ascii ? texts::common::AsciiBlackCell : texts::common::BlackGlyph;
    case White:
      return ascii ? texts::common::AsciiWhiteCell : texts::common::WhiteGlyph;
  }
  return texts::common::InvalidGlyph;
}

const char* HintGlyph() {
  return GameSettings.ascii ? texts::common::AsciiHintCell : texts::common::HintGlyph;
}

// The colours of a cell as an SGR sequence of the 8/16-colour set that every terminal has, each
// naming both its foreground and its background, so that no cell depends on the theme's colours:
// a green board, black discs in black, white discs in bright white, hint marks in bright yellow,
// the square of the last move on red.
constexpr char BoardColors[] = "\x1b[30;42m";  // empty squares and black discs
constexpr char WhiteDiscColors[] = "\x1b[97;42m";
constexpr char HintColors[] = "\x1b[93;42m";
constexpr char LastBlackColors[] = "\x1b[30;41m";
constexpr char LastWhiteColors[] = "\x1b[97;41m";

// The colours of the cell at (row, col) on a coloured board.
const char* CellColors(int row, int col, bool hinted, int lastMove) {
  const bool white = Board[row][col] == White;
  if (hinted) return HintColors;
  if (SquareCode(row, col) == lastMove) return white ? LastWhiteColors : LastBlackColors;
  return white ? WhiteDiscColors : BoardColors;
}

// The column numbers (letters with --notation=a1), then a row per board row: its label, a glyph per
// cell (a hinted square's mark over it), and in colour the cells' colours and the reset before the
// line end.
void WriteBoardRows() {
  using platform::WriteText;
  const bool colored = platform::ColorsInUse();
  const SquareSet hints = HintSquares();
  const int lastMove = LastMoveSquare();
  const bool letters = GameSettings.letterSquares;
  WriteText(" ");
  for (int col = 0; col < BoardSize; ++col) {
    if (letters) {
      const char label[] = {' ', static_cast<char>('a' + col), '\0'};
      WriteText(label);
    } else {
      platform::WriteNumber(col + 1, ColumnNumberWidth);
    }
  }
  WriteText("\n");
  for (int row = 0; row < BoardSize; ++row) {
    if (letters) {
      platform::WriteNumber(row + 1, ColumnNumberWidth);
    } else {
      platform::WriteNumber((row + 1) * SquareCodeRadix);
    }
    const char* current = nullptr;
    for (int col = 0; col < BoardSize; ++col) {
      const bool hinted = (hints & SquareBit(row, col)) != 0;
      if (colored) {
        const char* colors = CellColors(row, col, hinted, lastMove);
        if (colors != current) WriteText(colors);
        current = colors;
      }
      WriteText(hinted ? HintGlyph() : CellGlyph(Board[row][col]));
    }
    if (colored) WriteText(platform::ColorReset);
    WriteText("\n");
  }
}

}  // namespace

void DrawBoard(int side) {
  using platform::WriteText;
  platform::ClearScreen();
  const texts::TextSet& text = Texts();
  WriteText(GameSettings.letterSquares ? text.letterCoordinateHint : text.coordinateHint);
  WriteText(text.breakOffHint);
  if (GameSettings.undo) WriteText(text.undoHint);
  if (GameSettings.coachLevel != 0) WriteText(text.coachHint);
  WriteText(side == 0 ? text.turnBlackLine : text.turnWhiteLine);
  WriteBoardRows();
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
  if (GameSettings.coachLevel != 0) WriteCoachReview();
  WriteText(text.finalPrompt);
}

}  // namespace reversi
