// The board screen and the result screen. The board is filled into a copy of a frame made when
// compiling; in colour (--color) it is built cell by cell instead, each run of cells of the same
// colours led by one SGR sequence and every row ended by the reset.
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

static_assert(sizeof texts::common::AsciiEmptyCell - 1 == GlyphLength &&
              sizeof texts::common::AsciiBlackCell - 1 == GlyphLength &&
              sizeof texts::common::AsciiWhiteCell - 1 == GlyphLength &&
              sizeof texts::common::AsciiHintCell - 1 == GlyphLength);

// The glyph of every byte a cell can hold (the three cell values, and "er" for anything else),
// and the hint mark.
struct GlyphTable {
  Glyph ofCell[CellValueCount];
  Glyph hint;
};

constexpr GlyphTable MakeGlyphTable(const char* empty, const char* black, const char* white,
                                    const char* hint) {
  GlyphTable table{};
  for (Glyph& glyph : table.ofCell)
    glyph = GlyphFromText(texts::common::InvalidGlyph);
  table.ofCell[Empty] = GlyphFromText(empty);
  table.ofCell[Black] = GlyphFromText(black);
  table.ofCell[White] = GlyphFromText(white);
  table.hint = GlyphFromText(hint);
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

constexpr GlyphTable Glyphs = MakeGlyphTable(texts::common::EmptyGlyph, texts::common::BlackGlyph,
                                             texts::common::WhiteGlyph, texts::common::HintGlyph);
constexpr GlyphTable AsciiGlyphs =
    MakeGlyphTable(texts::common::AsciiEmptyCell, texts::common::AsciiBlackCell,
                   texts::common::AsciiWhiteCell, texts::common::AsciiHintCell);
constexpr BoardFrame Frame = MakeBoardFrame();
static_assert(Frame.length == FrameLength, "the board's numbers must fit the fixed layout");

// Where the glyph of a square goes in the frame.
constexpr int GlyphOffset(int row, int col) {
  return HeaderLength + row * RowLength + RowLabelLength + col * GlyphLength;
}

// ---- The board in colour ------------------------------------------------------------------------

// The colours of a cell as an SGR sequence of the 8/16-colour set that every terminal has, each
// naming both its foreground and its background, so that no cell depends on the theme's colours:
// a green board, black discs in black, white discs in bright white, hint marks in bright yellow,
// the square of the last move on red.
struct CellColors {
  char bytes[sizeof "\x1b[97;42m" - 1];
  int length;
};
template <std::size_t Size>
constexpr CellColors Sgr(const char (&sequence)[Size]) {
  static_assert(Size - 1 <= sizeof CellColors::bytes);
  CellColors colors{};
  for (std::size_t i = 0; i + 1 < Size; ++i)
    colors.bytes[i] = sequence[i];
  colors.length = static_cast<int>(Size - 1);
  return colors;
}
constexpr CellColors BoardColors = Sgr("\x1b[30;42m");  // empty squares and black discs
constexpr CellColors WhiteDiscColors = Sgr("\x1b[97;42m");
constexpr CellColors HintColors = Sgr("\x1b[93;42m");
constexpr CellColors LastBlackColors = Sgr("\x1b[30;41m");
constexpr CellColors LastWhiteColors = Sgr("\x1b[97;41m");
constexpr char RowEnd[] = "\x1b[0m\n";  // back to the terminal's own colours before the line end
constexpr int RowEndLength = sizeof RowEnd - 1;
static_assert(sizeof platform::ColorReset - 1 + 1 == RowEndLength);

// A coloured board: the frame's header, and per row its label, at most one sequence and a glyph
// per cell, and the row's end.
constexpr int ColoredBoardCapacity =
    HeaderLength +
    BoardSize *
        (RowLabelLength + BoardSize * (sizeof CellColors::bytes + GlyphLength) + RowEndLength);

// Builds the board in colour at `out` and returns its length: the same glyphs as the plain board,
// `hints` marked, the square `lastMove` (a SquareCode, or NoSquareCode) on its own colours.
int FillColoredBoard(const GlyphTable& glyphs, SquareSet hints, int lastMove, char* out) {
  std::memcpy(out, Frame.bytes, HeaderLength);
  int at = HeaderLength;
  const int lastIndex =
      lastMove == NoSquareCode ? -1 : SquareRow(lastMove) * BoardSize + SquareColumn(lastMove);
  for (int row = 0; row < BoardSize; ++row) {
    std::memcpy(out + at, Frame.bytes + HeaderLength + row * RowLength, RowLabelLength);
    at += RowLabelLength;
    const CellColors* current = nullptr;
    for (int col = 0; col < BoardSize; ++col) {
      const int index = row * BoardSize + col;
      const Cell cell = Board[row][col];
      const bool hinted = (hints >> index & 1) != 0;
      const CellColors* colors = hinted ? &HintColors
                                 : index == lastIndex
                                     ? (cell == White ? &LastWhiteColors : &LastBlackColors)
                                 : cell == White ? &WhiteDiscColors
                                                 : &BoardColors;
      if (colors != current) {
        std::memcpy(out + at, colors->bytes, sizeof CellColors::bytes);  // the tail is overwritten
        at += colors->length;
        current = colors;
      }
      std::memcpy(out + at, (hinted ? glyphs.hint : glyphs.ofCell[cell]).bytes, GlyphLength);
      at += GlyphLength;
    }
    std::memcpy(out + at, RowEnd, RowEndLength);
    at += RowEndLength;
  }
  return at;
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
  const GlyphTable& glyphs = GameSettings.ascii ? AsciiGlyphs : Glyphs;
  if (platform::ColorsInUse()) {
    char colored[ColoredBoardCapacity];
    const int length = FillColoredBoard(glyphs, HintSquares(), LastMoveSquare(), colored);
    platform::WriteOutput(colored, static_cast<std::size_t>(length));
    WriteLastMoveLine();
    return;
  }
  char board[FrameLength];
  std::memcpy(board, Frame.bytes, FrameLength);
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col)
      std::memcpy(board + GlyphOffset(row, col), glyphs.ofCell[Board[row][col]].bytes, GlyphLength);
  }
  // The hint marks go over the cells' glyphs, one per square of the set.
  for (SquareSet hints = HintSquares(); hints != 0; hints &= hints - 1) {
    const int square = std::countr_zero(hints);
    std::memcpy(board + GlyphOffset(square / BoardSize, square % BoardSize), glyphs.hint.bytes,
                GlyphLength);
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
