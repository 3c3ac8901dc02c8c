// The board screen and the result screen.
#include <bit>
#include <cstring>

#include "board/board.h"
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

// Every glyph is two bytes, and so is every row label (10..80): the board's layout is fixed, and
// a screen fills the glyphs into a copy of a frame made when compiling.
constexpr int GlyphLength = 2;
constexpr int RowLabelLength = 2;
constexpr int HeaderLength = 1 + BoardSize * ColumnNumberWidth + 1;  // lead blank, line end
constexpr int RowLength = RowLabelLength + BoardSize * GlyphLength + 1;
constexpr int FrameLength = HeaderLength + BoardSize * RowLength;
// A cell is a byte; a damaged one may hold any value.
constexpr int CellValueCount = 256;

struct Glyph {
  char bytes[GlyphLength];
};

struct BoardFrame {
  char bytes[FrameLength];
  int length;  // what the numbers took, checked against the fixed layout below
};

static_assert(sizeof texts::common::EmptyGlyph - 1 == GlyphLength &&
              sizeof texts::common::BlackGlyph - 1 == GlyphLength &&
              sizeof texts::common::WhiteGlyph - 1 == GlyphLength &&
              sizeof texts::common::InvalidGlyph - 1 == GlyphLength &&
              sizeof texts::common::HintGlyph - 1 == GlyphLength);

constexpr Glyph GlyphFromText(const char* text) {
  return Glyph{{text[0], text[1]}};
}

// The glyph of every byte a cell can hold: the three cell values, and "er" for anything else.
struct GlyphTable {
  Glyph ofCell[CellValueCount];
};

constexpr GlyphTable MakeGlyphTable() {
  GlyphTable table{};
  for (Glyph& glyph : table.ofCell)
    glyph = GlyphFromText(texts::common::InvalidGlyph);
  table.ofCell[Empty] = GlyphFromText(texts::common::EmptyGlyph);
  table.ofCell[Black] = GlyphFromText(texts::common::BlackGlyph);
  table.ofCell[White] = GlyphFromText(texts::common::WhiteGlyph);
  return table;
}

// The column header and the row labels with their line ends; the glyphs' places are left blank.
constexpr BoardFrame MakeBoardFrame() {
  BoardFrame frame{};
  int at = 0;
  frame.bytes[at++] = ' ';
  for (int col = 0; col < BoardSize; ++col)
    at += platform::FormatNumber(col + 1, ColumnNumberWidth, frame.bytes + at);
  frame.bytes[at++] = '\n';
  for (int row = 0; row < BoardSize; ++row) {
    at += platform::FormatNumber((row + 1) * SquareCodeRadix, 0, frame.bytes + at);
    for (int i = 0; i < BoardSize * GlyphLength; ++i)
      frame.bytes[at++] = ' ';
    frame.bytes[at++] = '\n';
  }
  frame.length = at;
  return frame;
}

constexpr GlyphTable Glyphs = MakeGlyphTable();
constexpr BoardFrame Frame = MakeBoardFrame();
static_assert(Frame.length == FrameLength, "the board's numbers must fit the fixed layout");

// Where the glyph of a square goes in the frame.
constexpr int GlyphOffset(int row, int col) {
  return HeaderLength + row * RowLength + RowLabelLength + col * GlyphLength;
}

}  // namespace

void DrawBoard(int side) {
  using platform::WriteText;
  platform::ClearScreen();
  const texts::TextSet& text = Texts();
  WriteText(text.coordinateHint);
  WriteText(text.breakOffHint);
  if (GameSettings.undo) WriteText(text.undoHint);
  WriteText(side == 0 ? text.turnBlackLine : text.turnWhiteLine);
  char board[FrameLength];
  std::memcpy(board, Frame.bytes, FrameLength);
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col)
      std::memcpy(board + GlyphOffset(row, col), Glyphs.ofCell[Board[row][col]].bytes, GlyphLength);
  }
  // The hint marks go over the cells' glyphs, one per square of the set.
  for (SquareSet hints = HintSquares(); hints != 0; hints &= hints - 1) {
    const int square = std::countr_zero(hints);
    std::memcpy(board + GlyphOffset(square / BoardSize, square % BoardSize),
                texts::common::HintGlyph, GlyphLength);
  }
  platform::WriteOutput(board, FrameLength);
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
