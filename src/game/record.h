// The game record: one transcript line per game in which a move was played ("f5d6c3... 33-31"),
// appended to the record file the command line opened, also for a game that is broken off, however
// it ends; each such game gets exactly one line, whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi {

// Begins the line of a game whose mode has been chosen, with no moves yet. Nothing happens unless
// a record file is open.
void StartGameRecord();

// Adds a turn that was played out to the line: `square` is the SquareCode the side played, or
// NoSquareCode for a turn given up ("PA"). A pass that the rules force is no turn and is left out.
// The counts at the line's end follow the Board. Nothing happens unless a game's line is begun.
void RecordTurn(int square);

// Appends the game's line, with the disc counts the Board has now, to the record file, when a
// line is begun and not appended yet: at the game's end, or when the input ends in the middle of
// it (a broken-off game). A line goes in whole or not at all; a failing write is reported once
// per run on standard error, and the game goes on. The same as EndGameRecord and then
// WriteGameRecord.
void FinishGameRecord();

// Ends the game's line with the disc counts of the Board as it is now, without writing it: where
// turns can be taken back, the line is written only once the result is left for good.
void EndGameRecord();
// Appends the line that EndGameRecord ended, as FinishGameRecord does.
void WriteGameRecord();

// How far the line has got, as a plain record, so that turns can be taken back off it.
struct RecordPosition {
  std::size_t used;         // bytes of moves still in the buffer
  std::uint32_t headParts;  // buffers of the line's moves already sent ahead to the kept head
};
RecordPosition ReadRecordPosition();
// Whether the line can go back to `position`: not once moves after it have been sent ahead.
bool CanReturnToRecordPosition(const RecordPosition& position);
// Cuts the line back to `position`, which CanReturnToRecordPosition has allowed.
void ReturnToRecordPosition(const RecordPosition& position);

// Puts the record back to its start-up state: no line begun, no failure told yet. The record
// file itself stays open.
void ResetRecordState();

}  // namespace reversi
