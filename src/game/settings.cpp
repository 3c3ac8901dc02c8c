// The settings record and the notes that the options add to a game: the hint marks, the turns
// listed under the next board, and the transcript written to the record file.
#include "game/settings.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "platform/console.h"

namespace reversi {

Settings GameSettings = {};

namespace {

// Between two board screens there is one turn and at most one forced pass after it.
constexpr int ListedTurnCapacity = 2;
constexpr int NoSquare = 0;

struct ListedTurn {
  int side;
  int square;  // NoSquare for a turn without a move
};
ListedTurn listedTurns[ListedTurnCapacity];
int listedCount = 0;

SquareSet hintSquares = 0;
SquareSet emptyBeforeTurn = 0;
bool couldMoveBeforeTurn = false;

// One transcript line. A move takes two characters; only two people who skip turn after turn can
// fill the line, and then it goes to the file in pieces. The tail holds " 64-64\n" and a NUL.
constexpr std::size_t RecordCapacity = 4096;
constexpr std::size_t RecordTailRoom = 16;
constexpr std::size_t MoveLength = 2;
char recordLine[RecordCapacity];
std::size_t recordUsed = 0;
// A piece of this game's line failed to go in, and the file took the line back: the rest of it
// is left out too.
bool lineFailed = false;
bool writeFailureReported = false;

constexpr char SkipMark[] = "PA";

SquareSet EmptySquares() {
  return ReadCellSets(0).empty;  // the empty cells are the same from either side
}

// The SquareCode of the first square of `squares` in row-major order, or NoSquare for none.
int FirstSquare(SquareSet squares) {
  if (squares == 0) return NoSquare;
  const int index = std::countr_zero(squares);  // sets number the squares row-major
  return SquareCode(index / BoardSize, index % BoardSize);
}

void ListTurn(int side, int square) {
  if (!GameSettings.lastMove || listedCount == ListedTurnCapacity) return;
  listedTurns[listedCount++] = {side, square};
}

// Later games try again (a full disk may have room by then), but only the first failure of a run
// is told.
void ReportWriteFailure(const char* reason) {
  if (writeFailureReported) return;
  writeFailureReported = true;
  platform::WriteErrorText("reversi: cannot write to the record file '");
  platform::WriteErrorText(GameSettings.recordName);
  platform::WriteErrorText("': ");
  platform::WriteErrorText(reason);
  platform::WriteErrorText(
      "; this game is not recorded, later failures are not reported, and "
      "the game goes on\n");
}

void WriteRecordBytes(const char* bytes, std::size_t count) {
  if (lineFailed) return;
  const char* reason = "";
  if (platform::AppendToRecordFile(bytes, count, reason)) return;
  lineFailed = true;
  ReportWriteFailure(reason);
}

void RecordMark(char first, char second) {
  if (!GameSettings.recording) return;
  if (recordUsed + MoveLength > RecordCapacity - RecordTailRoom) {
    WriteRecordBytes(recordLine, recordUsed);
    recordUsed = 0;
  }
  recordLine[recordUsed++] = first;
  recordLine[recordUsed++] = second;
}

// Appends a disc count, 0..SquareCount, in decimal.
void RecordCount(int count) {
  recordUsed += static_cast<std::size_t>(platform::FormatNumber(count, 0, recordLine + recordUsed));
}

}  // namespace

const texts::TextSet& Texts() {
  return GameSettings.english ? texts::English : texts::Japanese;
}

void StartGameNotes() {
  listedCount = 0;
  hintSquares = 0;
  recordUsed = 0;
  lineFailed = false;
}

void MarkHints(SquareSet squares) {
  hintSquares = GameSettings.hints ? squares : 0;
}

SquareSet HintSquares() {
  return hintSquares;
}

void BeginTurnNote(int side) {
  if (!GameSettings.lastMove && !GameSettings.recording) return;
  emptyBeforeTurn = EmptySquares();
  couldMoveBeforeTurn = LegalSquares(side) != 0;
}

void EndTurnNote(int side) {
  if (!GameSettings.lastMove && !GameSettings.recording) return;
  const int square = FirstSquare(emptyBeforeTurn & ~EmptySquares());
  ListTurn(side, square);
  if (square != NoSquare) {
    // Transcript notation: the column as a letter a..h, then the row as a digit 1..8.
    RecordMark(static_cast<char>('a' + SquareColumn(square)),
               static_cast<char>('1' + SquareRow(square)));
  } else if (couldMoveBeforeTurn) {
    RecordMark(SkipMark[0], SkipMark[1]);  // a forced pass is left out, a chosen one is not
  }
}

void NotePass(int side) {
  ListTurn(side, NoSquare);
}

void WriteLastMoveLine() {
  if (listedCount == 0) return;
  const texts::TextSet& text = Texts();
  // Built whole and written once: the lead, then per turn a blank between turns, the glyph and
  // the square or the pass text, then the line end.
  constexpr std::size_t GlyphLength = sizeof texts::BlackGlyph - 1;
  constexpr std::size_t LongestLead =
      std::max(sizeof texts::LastMoveLead, sizeof texts::english::LastMoveLead) - 1;
  constexpr std::size_t LongestTurn =
      1 + GlyphLength +
      std::max({sizeof texts::LastMovePass - 1, sizeof texts::english::LastMovePass - 1,
                static_cast<std::size_t>(platform::MaxNumberLength)});
  constexpr std::size_t LineCapacity = LongestLead + ListedTurnCapacity * LongestTurn + 1;
  char line[LineCapacity];
  std::size_t used = 0;
  const auto append = [&line, &used](const char* bytes, std::size_t count) {
    std::memcpy(line + used, bytes, count);
    used += count;
  };
  append(text.lastMoveLead, std::strlen(text.lastMoveLead));
  for (int i = 0; i < listedCount; ++i) {
    if (i > 0) append(" ", 1);
    append(listedTurns[i].side == 0 ? texts::BlackGlyph : texts::WhiteGlyph, GlyphLength);
    if (listedTurns[i].square == NoSquare) {
      append(text.lastMovePass, std::strlen(text.lastMovePass));
    } else {
      used +=
          static_cast<std::size_t>(platform::FormatNumber(listedTurns[i].square, 0, line + used));
    }
  }
  append("\n", 1);
  platform::WriteOutput(line, used);
  listedCount = 0;
}

void FinishGameRecord() {
  if (!GameSettings.recording) return;
  recordLine[recordUsed++] = ' ';
  RecordCount(CountCells(Black));
  recordLine[recordUsed++] = '-';
  RecordCount(CountCells(White));
  recordLine[recordUsed++] = '\n';
  WriteRecordBytes(recordLine, recordUsed);
  recordUsed = 0;
}

void AbandonGameRecord() {
  if (GameSettings.recording) platform::DropUnfinishedRecordLine();
}

void ResetSettingsState() {
  GameSettings = {};
  StartGameNotes();
  emptyBeforeTurn = 0;
  couldMoveBeforeTurn = false;
  writeFailureReported = false;
}

}  // namespace reversi
