// What the hints and last-move options add to a game: the squares marked as playable and the turns
// listed under the next board. Owns the per-game notes of what each turn played, and hands every
// turn on to the record (record.h).
#pragma once

#include "board/board.h"

namespace reversi {

// Forgets the previous game's notes: no turns listed, no hints.
void StartGameNotes();

// The squares DrawBoard marks as playable; none unless the hints option is on. The driver sets
// them before every board screen.
void MarkHints(SquareSet squares);
SquareSet HintSquares();

// Notes a turn that `side` played out (one not broken off with 99): `square` is the SquareCode it
// played, or NoSquareCode for a turn given up; for the last-move line and the record.
void NoteTurn(int side, int square);
// Notes that `side` had to pass.
void NotePass(int side);

// The square (a SquareCode) of the latest move among the turns the next last-move line lists, or
// NoSquareCode when they are passes or there are none; DrawBoard marks it on a coloured board.
int LastMoveSquare();

// Writes the last-move line for the turns noted since the previous board screen, if the option is
// on and there is anything to list, and starts a new list. Called by DrawBoard after the last row.
void WriteLastMoveLine();

// Writes a SquareCode as the player types squares: its number, or a1..h8 with --notation=a1.
void WriteSquare(int square);

// Puts the notes back to their start-up values.
void ResetNotesState();

// The turns waiting for the next last-move line, as a plain record: what a board screen lists
// depends on them, so taking back to a screen takes them back too.
inline constexpr int ListedTurnCapacity = 2;  // one turn and at most one forced pass after it
struct ListedTurn {
  int side;
  int square;  // NoSquareCode for a turn without a move
};
struct NotesState {
  ListedTurn turns[ListedTurnCapacity];
  int count;
};
NotesState ReadNotesState();
void WriteNotesState(const NotesState& state);

}  // namespace reversi
