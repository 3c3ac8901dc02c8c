// The game record: one transcript line per game that ends ("f5d6c3... 33-31"), appended to the
// record file the command line opened. Owns the line's buffer, the one run-wide failure message
// and the rule that the file only ever keeps whole lines.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi {

// The square of a turn that placed no disc.
inline constexpr int NoSquare = 0;

// Starts the line of a new game: no moves yet.
void StartGameRecord();

// Adds a turn that was played out to the line: `square` is the SquareCode the side played, or
// NoSquare for a turn without a disc; `couldMove` tells whether the side had a legal move then.
// Nothing happens unless a record file is open.
void RecordTurn(int square, bool couldMove);

// Appends the game's line, with the final disc counts, to the record file when one is open.
// Called once per game, when it ends. A line goes in whole or not at all; a failing write is
// reported once per run on standard error, and the game goes on. The same as EndGameRecord and
// then WriteGameRecord.
void FinishGameRecord();

// Ends the game's line with the disc counts of the Board as it is now, without writing it: where
// turns can be taken back, the line is written only once the result is left for good.
void EndGameRecord();
// Appends the line that EndGameRecord ended, as FinishGameRecord does.
void WriteGameRecord();

// How far the line has got, as a plain record, so that turns can be taken back off it.
struct RecordPosition {
  std::size_t used;             // bytes of the line still in the buffer
  std::uint32_t piecesWritten;  // pieces of the line already in the file
};
RecordPosition ReadRecordPosition();
// Whether the line can go back to `position`: not once a piece after it has gone to the file.
bool CanReturnToRecordPosition(const RecordPosition& position);
// Cuts the line back to `position`, which CanReturnToRecordPosition has allowed.
void ReturnToRecordPosition(const RecordPosition& position);

// Takes back what a game that will not end (the input has ended) has already written of its line;
// only a game too long for the line's buffer writes before it ends.
void AbandonGameRecord();

// Puts the record back to its start-up state: no line begun, no failure told yet. The record
// file itself stays open.
void ResetRecordState();

}  // namespace reversi
