// The transcript line and its "one whole line per game" rule. Only two people who skip turn after
// turn can fill the buffer; its moves then go ahead to the head that the console layer keeps in a
// scratch file, and the line's append puts them first.
#include "record.h"

#include <cstddef>
#include <cstdint>

#include "board/board.h"
#include "platform/console.h"
#include "settings.h"
#include "texts.h"

namespace reversi {

namespace {

// One transcript line. A move takes two characters; the tail holds " 64-64\n".
constexpr std::size_t RecordCapacity = 4096;
constexpr std::size_t RecordTailRoom = 16;
constexpr std::size_t LongestTail = sizeof " 64-64\n" - 1;
static_assert(LongestTail <= RecordTailRoom);
char recordLine[RecordCapacity];
std::size_t movesUsed = 0;    // the moves in the buffer, after those gone ahead
std::size_t lineLength = 0;   // the moves and the tail
std::uint32_t headParts = 0;  // of this game's moves, sent ahead to the kept head

// A game's line is begun and not appended yet.
bool linePending = false;
bool writeFailureReported = false;

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

// Whether the line holds a move: a game in which nothing was played gets no line, so that the
// record's last line stays the last game that was.
bool HasMoves() {
  return movesUsed > 0 || headParts > 0;
}

// Appends a disc count, 0..SquareCount, in decimal.
std::size_t PutCount(int count, std::size_t at) {
  return at + static_cast<std::size_t>(platform::FormatNumber(count, 0, recordLine + at));
}

// Puts the counts the Board has now after the moves, so that the buffer holds the whole line.
void EndLine() {
  std::size_t at = movesUsed;
  recordLine[at++] = ' ';
  at = PutCount(CountCells(Black), at);
  recordLine[at++] = '-';
  at = PutCount(CountCells(White), at);
  recordLine[at++] = '\n';
  lineLength = at;
}

// This game's line cannot be kept: nothing of it goes in, and the game goes on.
void GiveUpLine(const char* reason) {
  linePending = false;
  movesUsed = 0;
  platform::ForgetLineHead();
  ReportWriteFailure(reason);
}

// Adds one move in move notation; a full buffer sends its moves ahead to the kept head first.
void RecordMove(int square) {
  if (movesUsed + MoveTextLength > RecordCapacity - RecordTailRoom) {
    const char* reason = "";
    if (!platform::SaveLineHead(recordLine, movesUsed, reason)) {
      GiveUpLine(reason);
      return;
    }
    movesUsed = 0;
    ++headParts;
  }
  WriteMoveText(square, recordLine + movesUsed);
  movesUsed += MoveTextLength;
}

}  // namespace

void StartGameRecord() {
  if (!GameSettings.recording) return;
  movesUsed = 0;
  headParts = 0;
  linePending = true;
}

void RecordTurn(int square) {
  if (linePending) RecordMove(square);
}

void FinishGameRecord() {
  EndGameRecord();
  WriteGameRecord();
}

void EndGameRecord() {
  if (linePending) EndLine();
}

void WriteGameRecord() {
  if (!linePending) return;
  linePending = false;
  const char* reason = "";
  if (HasMoves() && !platform::AppendRecordLine(recordLine, lineLength, reason))
    ReportWriteFailure(reason);
  movesUsed = 0;
  headParts = 0;
}

RecordPosition ReadRecordPosition() {
  return {movesUsed, headParts};
}

bool CanReturnToRecordPosition(const RecordPosition& position) {
  return position.headParts == headParts && position.used <= movesUsed;
}

void ReturnToRecordPosition(const RecordPosition& position) {
  if (linePending) movesUsed = position.used;
}

void ResetRecordState() {
  movesUsed = 0;
  lineLength = 0;
  headParts = 0;
  linePending = false;
  writeFailureReported = false;
  platform::ForgetLineHead();
}

}  // namespace reversi
