// The transcript line and the "whole line or nothing" rule of the record file. The line is built
// in a buffer and written when the game ends; only a line longer than the buffer goes out in
// pieces before that. Whatever has gone in of a line that then fails, or whose game never ends,
// is cut off the file again: an all-or-nothing append, whose savepoint is the file's size before
// the line's first piece and whose roll-back truncates the file to it.
#include "record.h"

#include <cstddef>

#include "board/board.h"
#include "platform/console.h"
#include "settings.h"
#include "texts.h"

namespace reversi {

namespace {

// One transcript line. A move takes two characters; only two people who skip turn after turn can
// fill the line, and then it goes to the file in pieces. The tail holds " 64-64\n" and a NUL.
constexpr std::size_t RecordCapacity = 4096;
constexpr std::size_t RecordTailRoom = 16;
constexpr std::size_t MoveLength = 2;
char recordLine[RecordCapacity];
std::size_t recordUsed = 0;
std::uint32_t piecesWritten = 0;  // of this game's line, before what the buffer holds

constexpr char SkipMark[] = "PA";

// A piece of this game's line failed to go in, and the file took the line back: the rest of it
// is left out too.
bool lineFailed = false;
bool writeFailureReported = false;

// True while pieces of this game's line are in the file but not its end; `lineStart` is then the
// file's size before the first piece, negative where the file cannot be cut back (a pipe or a
// device).
bool linePartlyWritten = false;
long long lineStart = -1;

// Later games try again (a full disk may have room by then), but only the first failure of a run
// is told.
void ReportWriteFailure(const char* reason) {
  if (writeFailureReported) return;
  writeFailureReported = true;
  platform::WriteErrorText(texts::common::RecordFailureLead);
  platform::WriteErrorText(GameSettings.recordName);
  platform::WriteErrorText(texts::common::RecordFailureReasonLead);
  platform::WriteErrorText(reason);
  platform::WriteErrorText(texts::common::RecordFailureTail);
}

// Cuts the file back to where this game's line began, if part of it has gone in.
void TakeBackLine() {
  if (linePartlyWritten && lineStart >= 0) platform::TruncateRecordFile(lineStart);
  linePartlyWritten = false;
}

// Appends a piece of this game's line; `endsLine` for the piece that holds its "\n". The one place
// that decides when the line is whole: only once its last piece is in has nothing of it to be
// taken back. A piece that fails takes back the whole line and leaves the rest of it out.
void WriteLinePiece(const char* bytes, std::size_t count, bool endsLine) {
  if (lineFailed) return;
  if (!linePartlyWritten) {
    lineStart = platform::RecordFileSize();
    linePartlyWritten = true;
  }
  const char* reason = "";
  if (!platform::AppendToRecordFile(bytes, count, reason)) {
    TakeBackLine();
    lineFailed = true;
    ReportWriteFailure(reason);
    return;
  }
  if (endsLine) linePartlyWritten = false;
}

void RecordMark(char first, char second) {
  if (recordUsed + MoveLength > RecordCapacity - RecordTailRoom) {
    WriteLinePiece(recordLine, recordUsed, false);
    recordUsed = 0;
    ++piecesWritten;
  }
  recordLine[recordUsed++] = first;
  recordLine[recordUsed++] = second;
}

// Appends a disc count, 0..SquareCount, in decimal.
void RecordCount(int count) {
  recordUsed += static_cast<std::size_t>(platform::FormatNumber(count, 0, recordLine + recordUsed));
}

}  // namespace

void StartGameRecord() {
  recordUsed = 0;
  piecesWritten = 0;
  lineFailed = false;
}

void RecordTurn(int square, bool couldMove) {
  if (!GameSettings.recording) return;
  if (square != NoSquare) {
    // Transcript notation: the column as a letter a..h, then the row as a digit 1..8.
    RecordMark(static_cast<char>('a' + SquareColumn(square)),
               static_cast<char>('1' + SquareRow(square)));
  } else if (couldMove) {
    RecordMark(SkipMark[0], SkipMark[1]);  // a forced pass is left out, a chosen one is not
  }
}

void FinishGameRecord() {
  EndGameRecord();
  WriteGameRecord();
}

void EndGameRecord() {
  if (!GameSettings.recording) return;
  recordLine[recordUsed++] = ' ';
  RecordCount(CountCells(Black));
  recordLine[recordUsed++] = '-';
  RecordCount(CountCells(White));
  recordLine[recordUsed++] = '\n';
}

void WriteGameRecord() {
  if (!GameSettings.recording) return;
  WriteLinePiece(recordLine, recordUsed, true);
  recordUsed = 0;
}

RecordPosition ReadRecordPosition() {
  return {recordUsed, piecesWritten};
}

bool CanReturnToRecordPosition(const RecordPosition& position) {
  return position.piecesWritten == piecesWritten && position.used <= recordUsed;
}

void ReturnToRecordPosition(const RecordPosition& position) {
  recordUsed = position.used;
}

void AbandonGameRecord() {
  if (GameSettings.recording) TakeBackLine();
}

void ResetRecordState() {
  StartGameRecord();
  writeFailureReported = false;
  linePartlyWritten = false;
  lineStart = -1;
}

}  // namespace reversi
