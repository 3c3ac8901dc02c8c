// The player's choices from the command line, and the additions to a game that they switch on.
// Owns the one Settings record (filled once before the first game, read by the game) and the
// per-game notes behind the last-move line, the hint marks and the game record.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "game/texts.h"

namespace reversi {

// What the command line asked for. All zero, the program's start-up value, is the plain game.
struct Settings {
  bool english;            // English texts instead of Japanese
  bool hints;              // mark a human side's playable squares
  bool lastMove;           // list the turns since the previous board screen under each board
  int delayMilliseconds;   // pause after a COM move, a pass and the game-over text
  bool seeded;             // the COM's generator starts from `seed` instead of the clock
  std::uint32_t seed;      // the first game's seed; each later game takes the next number
  bool recording;          // the record file is open and gets a line at the end of every game
  const char* recordName;  // the record file's name as given, for messages
};

extern Settings GameSettings;

// The texts in the language the settings ask for.
const texts::TextSet& Texts();

// ---- Per-game notes (used by the driver and the screens) ------------------------------------

// Forgets the previous game's notes: no turns listed, nothing recorded, no hints.
void StartGameNotes();

// The squares DrawBoard marks as playable; none unless the hints option is on. The driver sets
// them before every board screen.
void MarkHints(SquareSet squares);
SquareSet HintSquares();

// Called just before `side` plays its turn: remembers which cells were empty and whether the side
// had a legal move, so that EndTurnNote can tell what the turn did.
void BeginTurnNote(int side);
// Called after the turn (one that was not broken off with 99): notes the square the side played,
// or a turn without a move.
void EndTurnNote(int side);
// Notes that `side` had to pass.
void NotePass(int side);

// Writes the last-move line for the turns noted since the previous board screen, if the option is
// on and there is anything to list, and starts a new list. Called by DrawBoard after the last row.
void WriteLastMoveLine();

// Appends the game's transcript line to the record file, when one is open. Called once per game,
// when it ends. A line goes in whole or not at all; a failing write is reported once per run on
// standard error, and the game goes on.
void FinishGameRecord();

// Takes back what a game that will not end (the input has ended) has already written of its line;
// only a game too long for the line's buffer writes before it ends.
void AbandonGameRecord();

// Puts the settings and the notes back to their start-up values.
void ResetSettingsState();

}  // namespace reversi
