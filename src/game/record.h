// The game record: one transcript line per game ("f5d6c3... 33-31"), appended to the record file
// the command line opened, also for a game that is broken off, however it ends. Owns the line's
// buffer, kept whole and up to date after every turn, the one run-wide failure message and the
// rule that each game gets exactly one line, whole or not at all.
#pragma once

namespace reversi {

// The square of a turn that placed no disc.
inline constexpr int NoSquare = 0;

// Begins the line of a game whose mode has been chosen: no moves yet, the start position's
// counts. From now on the game has its line, even if the process is ended from outside.
// Nothing happens unless a record file is open.
void StartGameRecord();

// Adds a turn that was played out to the line: `square` is the SquareCode the side played, or
// NoSquare for a turn without a disc; `couldMove` tells whether the side had a legal move then.
// The counts at the line's end follow the Board. Nothing happens unless a game's line is begun.
void RecordTurn(int square, bool couldMove);

// Appends the game's line, with the disc counts the Board has now, to the record file, when a
// line is begun and not yet appended: at the game's end, or when the input ends in the middle of
// it (a broken-off game). A line goes in whole or not at all; a failing write is reported once
// per run on standard error, and the game goes on.
void FinishGameRecord();

// Puts the record back to its start-up state: no line begun, no failure told yet. The record
// file itself stays open.
void ResetRecordState();

}  // namespace reversi
