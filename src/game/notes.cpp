// The per-game notes behind the hint marks and the last-move line: the turns since the previous
// board screen, as the driver reports them.
#include "notes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

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
  // Built whole and written once: the lead, then per turn a blank between turns, the glyph and
  // the square or the pass text, then the line end. A disc is its CP932 glyph or one ASCII letter.
  constexpr std::size_t GlyphLength = sizeof texts::common::BlackGlyph - 1;
  constexpr std::size_t LongestLead =
      std::max(sizeof texts::japanese::LastMoveLead, sizeof texts::english::LastMoveLead) - 1;
  constexpr std::size_t LongestTurn =
      1 + GlyphLength +
      std::max({sizeof texts::japanese::LastMovePass - 1, sizeof texts::english::LastMovePass - 1,
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
    const char* disc = listedTurns[i].side == 0 ? text.blackDisc : text.whiteDisc;
    append(disc, std::strlen(disc));  // never longer than GlyphLength
    if (listedTurns[i].square == NoSquareCode) {
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
