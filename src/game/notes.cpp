// The per-game notes behind the hint marks and the last-move line: the turns since the previous
// board screen, as the driver reports them.
#include "notes.h"

#include "platform/console.h"
#include "record.h"
#include "settings.h"

namespace reversi {

namespace {

// Between two board screens there is one turn and at most one forced pass after it.
ListedTurn listedTurns[ListedTurnCapacity];
int listedCount = 0;

SquareSet hintSquares = 0;

void ListTurn(int side, int square) {
  if (!GameSettings.lastMove || listedCount == ListedTurnCapacity) return;
  listedTurns[listedCount++] = {side, square};
}

}  // namespace

void WriteSquare(int square) {
  if (!GameSettings.letterSquares) {
    platform::WriteNumber(square);
    return;
  }
  char text[MoveTextLength];
  WriteMoveText(square, text);
  platform::WriteOutput(text, MoveTextLength);
}

void StartGameNotes() {
  listedCount = 0;
  hintSquares = 0;
}

void MarkHints(SquareSet squares) {
  hintSquares = GameSettings.hints ? squares : 0;
}

SquareSet HintSquares() {
  return hintSquares;
}

void NoteTurn(int side, int square) {
  ListTurn(side, square);
  RecordTurn(square);
}

void NotePass(int side) {
  ListTurn(side, NoSquareCode);
}

int LastMoveSquare() {
  for (int i = listedCount - 1; i >= 0; --i) {
    if (listedTurns[i].square != NoSquareCode) return listedTurns[i].square;
  }
  return NoSquareCode;
}

void WriteLastMoveLine() {
  if (listedCount == 0) return;
  const texts::TextSet& text = Texts();
  platform::WriteText(text.lastMoveLead);
  for (int i = 0; i < listedCount; ++i) {
    if (i > 0) platform::WriteText(" ");
    platform::WriteText(listedTurns[i].side == 0 ? text.blackDisc : text.whiteDisc);
    if (listedTurns[i].square == NoSquareCode) {
      platform::WriteText(text.lastMovePass);
    } else {
      WriteSquare(listedTurns[i].square);
    }
  }
  platform::WriteText("\n");
  listedCount = 0;
}

NotesState ReadNotesState() {
  NotesState state = {};
  for (int i = 0; i < listedCount; ++i)
    state.turns[i] = listedTurns[i];
  state.count = listedCount;
  return state;
}

void WriteNotesState(const NotesState& state) {
  for (int i = 0; i < state.count; ++i)
    listedTurns[i] = state.turns[i];
  listedCount = state.count;
}

void ResetNotesState() {
  StartGameNotes();
}

}  // namespace reversi
